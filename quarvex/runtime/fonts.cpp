#include "quarvex/runtime/fonts.h"

#include "quarvex/runtime/errors.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <array>

namespace qvrt {

namespace {

struct StandIn {
    const char* name;
    FontKind kind;
    const char* family;
};

// Liberation Sans is metric-compatible with Arial, so texts centred by
// their measured width land where the program expects them.
constexpr std::array<StandIn, 5> kStandIns{{
    {"Arial", FontKind::Text, "Liberation Sans"},
    {"MS Sans Serif", FontKind::Text, "DejaVu Sans"},
    {"Small Fonts", FontKind::Text, "DejaVu Sans"},
    {"Symbol", FontKind::Symbol, ""},
    {"Wingdings", FontKind::Wingdings, ""},
}};

QStringList InstalledFamilies() {
    // Without a GUI application there is no font database to ask.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    return QFontDatabase::families();
}

}  // namespace

std::optional<FontFace> LookUpFont(const QString& name) {
    const QString wanted = name.trimmed();
    if (wanted.isEmpty()) return std::nullopt;
    for (const StandIn& s : kStandIns) {
        if (wanted.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
            return FontFace{QString::fromLatin1(s.name), s.kind, QString::fromLatin1(s.family)};
    }
    for (const QString& family : InstalledFamilies()) {
        if (wanted.compare(family, Qt::CaseInsensitive) == 0) return FontFace{family, FontKind::Text, family};
    }
    return std::nullopt;
}

FontFace ResolveFont(const QString& name) {
    std::optional<FontFace> face = LookUpFont(name);
    if (!face) Raise(ErrInvalidProperty);
    return *face;
}

QString DrawableTextFont(const QString& name) {
    if (LookUpFont(name)) return name;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return QStringLiteral("Arial");
    const QString substitute = QFontInfo(QFont(name.trimmed())).family();
    return LookUpFont(substitute) ? substitute : QStringLiteral("Arial");
}

QStringList AvailableFontNames() {
    QStringList names;
    for (const StandIn& s : kStandIns) names << QString::fromLatin1(s.name);
    for (const QString& family : InstalledFamilies()) {
        if (!names.contains(family, Qt::CaseInsensitive)) names << family;
    }
    return names;
}

QFont MakeQFont(const FontFace& face, double pointSize, bool bold, bool italic) {
    QFont font(face.family.isEmpty() ? QStringLiteral("DejaVu Sans") : face.family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    // Kerning would make a text's printed width differ from the sum that
    // callers measure character by character when they type labels.
    font.setKerning(false);
    return font;
}

}  // namespace qvrt
