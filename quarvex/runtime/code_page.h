// The system code page of the sheets: files written on Windows are in
// Windows-1252. Every byte decodes to one character and encodes back to the
// same byte (the five bytes Windows-1252 leaves unassigned map to the C1
// control characters), so cell bytes survive an open and a save unchanged.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

namespace qvrt {

QString DecodeWindows1252(std::string_view bytes);
// The same into out, reusing its buffer.
void DecodeWindows1252(std::string_view bytes, QString& out);
// Characters outside Windows-1252 become '?', one for a character beyond
// 16 bits (a surrogate pair).
QByteArray EncodeWindows1252(QStringView text);
// Appends the encoding of text to out (saves an allocation per cell).
void AppendWindows1252(QStringView text, QByteArray& out);

}  // namespace qvrt
