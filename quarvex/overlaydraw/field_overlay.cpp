#include "quarvex/overlaydraw/field_overlay.h"

#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/runtime/surface.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quarvex {
namespace {

using overlays::Diagram;
using overlays::Half;
using overlays::Pen;

// Colours are held as reals and go to the surface as the nearest whole
// colour value; anything outside the 24-bit range is clamped rather than
// left to an undefined conversion.
uint32_t ColorOf(double value) {
    if (!(value > 0)) return 0;
    return uint32_t(std::lround(std::min(value, double(0xFFFFFF))));
}

void SetStartFont(qvrt::Surface& p, overlays::StartFont font) {
    if (font == overlays::StartFont::None) return;
    p.SetFontName(QStringLiteral("Arial"));
    if (font == overlays::StartFont::ArialBold) p.SetFontBold(true);
}

void DrawSegments(qvrt::Surface& p, const Half& half) {
    bool broken = false;  // the overlay has switched to dots
    const auto segments = half.segments;
    for (size_t i = 0; i < segments.size(); ++i) {
        const overlays::Segment& s = segments[i];
        if (s.screen == Pen::None) continue;
        if (s.solidBefore) p.SetDrawStyle(qvrt::vbSolid);
        const bool dotted = s.screen == Pen::Dotted;
        if (dotted && !broken) p.SetDrawStyle(qvrt::vbDot);
        broken = dotted;
        p.Line(s.x1, s.y1, s.x2, s.y2);
        const bool nextDotted = i + 1 < segments.size() && segments[i + 1].screen == Pen::Dotted;
        if (broken && !nextDotted) {
            p.SetDrawStyle(qvrt::vbSolid);
            broken = false;
        }
    }
}

void DrawLetters(qvrt::Surface& p, const Half& half) {
    p.SetFontBold(false);
    p.SetFontSize(6);
    p.SetFontName(QStringLiteral("Small Fonts"));
    p.SetFontSize(6);
    for (const overlays::Letter& letter : half.letters) {
        const QString text = QString::fromLatin1(letter.text);
        // The sum is formed in double and handed to CurrentX as a single.
        float x = letter.x;
        if (letter.place == overlays::Place::Centred) x = float(letter.x - p.TextWidth(text) / 2);
        p.SetCurrentX(x);
        p.SetCurrentY(letter.y);
        p.Print(text);
    }
}

// The seventeen diagrams of the dispatcher, in the order of its tests:
// Carbonatites, Charnockites, Melilite-Plutonic, Melilite-Volcanic,
// QAP-Plutonic, FAP-Plutonic, PlagPxOl-Gabbroic, PlagPxHbl-Gabbroic,
// OlOpxCpx-UMafic, OlPxHbl-UMafic, PlagOPxCPx-Gabbroic, QAP-Volcanic,
// FAP-Volcanic, TAS-Volcanic, Sandstones, Arenites, Wackes.
constexpr std::array<const Diagram*, 17> kDispatch = {
    &overlays::kCarbonatites,
    &overlays::kCharnockites,
    &overlays::kMelilitePlutonic,
    &overlays::kMeliliteVolcanic,
    &overlays::kQapPlutonic,
    &overlays::kFapPlutonic,
    &overlays::kPlagPxOl,
    &overlays::kPlagPxHbl,
    &overlays::kOlOpxCpx,
    &overlays::kOlPxHbl,
    &overlays::kPlagOPxCPx,
    &overlays::kQapVolcanic,
    &overlays::kFapVolcanic,
    &overlays::kTasVolcanic,
    &overlays::kSandstones,
    &overlays::kArenites,
    &overlays::kWackes,
};

}  // namespace

void DrawScreenOverlay(const Diagram& diagram, const OverlayTarget& t) {
    qvrt::Surface& p = t.picture;
    int row = 0;
    for (size_t h = 0; h < diagram.halves.size(); ++h) {
        const Half& half = diagram.halves[h];
        if (h == 0 || half.screenRecolour) p.SetForeColor(ColorOf(t.axesColor));
        SetStartFont(p, half.screenFont);
        if (t.showFieldLines == -1) {
            DrawSegments(p, half);
            if (diagram.solidAfterSegments) p.SetDrawStyle(qvrt::vbSolid);
        }
        if (h == 0) {
            if (diagram.gridHeight) t.keys.SetHeight(diagram.gridHeight);
            t.keys.SetRows(diagram.rows);
        }
        for (const overlays::KeyRow& key : half.keys) {
            ++row;
            t.keys.SetText(row, 0, QString::fromLatin1(key.cell));
            t.keys.SetText(row, 1, QString::fromLatin1(key.name));
        }
        if (t.showFieldLetters == -1) DrawLetters(p, half);
    }
}

void DrawFieldsQAPFPlutonic(const OverlayTarget& t) { DrawScreenOverlay(overlays::kQapfPlutonic, t); }
void DrawFieldsQAPFVolcanic(const OverlayTarget& t) { DrawScreenOverlay(overlays::kQapfVolcanic, t); }
void DrawFieldsTAS(const OverlayTarget& t) { DrawScreenOverlay(overlays::kTasVolcanic, t); }

void DrawFieldNames(const QString& diagramType, const OverlayTarget& t) {
    // Independent tests, as the names are distinct at most one matches.
    for (const Diagram* diagram : kDispatch) {
        if (diagramType == QLatin1String(diagram->type)) DrawScreenOverlay(*diagram, t);
    }
}

void HScroll1_Change(FieldKeyTable& keys, int16_t value) { keys.SetLeft(-double(value)); }
void VScroll1_Change(FieldKeyTable& keys, int16_t value) { keys.SetTop(-double(value)); }

}  // namespace quarvex
