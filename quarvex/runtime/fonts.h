// The font names the program uses, mapped onto fonts a Debian machine has.
// "Arial" becomes Liberation Sans (same metrics); "MS Sans Serif" and
// "Small Fonts" become DejaVu Sans. "Symbol" and "Wingdings" are not fonts
// here at all: their plot-symbol characters are drawn from the glyph table,
// so no proprietary font file is needed and screen and paper look the same.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

namespace qvrt {

enum class FontKind {
    Text,       // an ordinary outline font, drawn by Qt
    Symbol,     // the "Symbol" plot symbols, drawn from the glyph table
    Wingdings,  // the "Wingdings" plot symbols, drawn from the glyph table
};

struct FontFace {
    QString name;    // the name as the program spells it ("Arial", "Wingdings", ...)
    FontKind kind = FontKind::Text;
    QString family;  // the Qt family that draws a Text face
};

// The face for a font name, compared without case; empty when no font of
// that name can be drawn. Besides the five names the program uses, any
// family installed on the machine is accepted under its own name.
std::optional<FontFace> LookUpFont(const QString& name);

// As LookUpFont, raising Invalid property value (380) for an unknown name,
// as setting FontName to a missing font did.
FontFace ResolveFont(const QString& name);

// A text font name that can be drawn: the name itself where LookUpFont knows
// it, else the installed family that Qt's substitution draws it in (a font
// named in a settings file from another machine, or since removed).
QString DrawableTextFont(const QString& name);

// The font list a font dialog offers: the five program names first, then
// the installed families.
QStringList AvailableFontNames();

// A QFont for a Text face at a point size.
QFont MakeQFont(const FontFace& face, double pointSize, bool bold, bool italic);

}  // namespace qvrt
