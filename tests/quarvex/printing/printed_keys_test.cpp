// The printed keys of the classification diagrams: every line as the
// printed diagram spells it, and every key legible and on the page at
// every diagram size on every paper, upright or lying wide.
#include "print_fixture.h"

#include "quarvex/overlays/overlay_table.h"

#include <algorithm>
#include <map>

namespace quarvex::printing {
namespace {

using qvrt::DrawOp;

// The QAPF keys print the quartz side's key, then the foid side's lettered
// on from A2.
std::vector<const char*> joined(std::vector<const char*> a, const std::vector<const char*>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<const char*> kQuartzPlutonic = {
    "A - Quartzolite", "B - Quartz Rich Granitoids", "C - Alkali Feldspar Granite", "D - Syenogranite (Granite)",
    "E - Monzogranite (Granite)", "F - Granodiorite", "G - Tonalite", "H - Quartz Alkali Feldspar Syenite",
    "I - Quartz Syenite", "J - Quartz Monzonite", "K - Quartz Monzodiorite (An < 50%)",
    "K - Quartz Monzogabbro (An > 50%)", "L - Quartz Diorite (An < 50%)", "L - Quartz Gabbro (An > 50%)",
    "L - Quartz Anorthosite (M < 10%)", "M - Alkali Feldspar Syenite", "N - Syenite", "O - Monzonite",
    "P - Monzodiorite (An < 50%)", "P - Monzogabbro (An > 50%)", "Q - Diorite (An < 50%)", "Q - Gabbro (An > 50%)",
    "Q - Anorthosite (M < 10%)"};
const std::vector<const char*> kQuartzVolcanic = {
    "A - Alkali Feldspar Rhyolite", "B - Rhyolite", "C - Dacite", "D - Quartz Alkali Feldspar Trachyte",
    "E - Quartz Trachyte", "F - Quartz Latite", "G - Basalt (M = 35-90 or SiO2 < 52%)",
    "G - Andesite (M = 0-35% 0r SiO2 > 52%)", "H - Alkali Feldspar Trachyte", "I - Trachyte", "J - Latite"};

// The printed keys, line by line. Where the screen's key spells a name
// otherwise ("Felds.", "Wehrlite"), paper keeps its own spelling.
const std::map<std::string, std::vector<const char*>> kPrintedKeys = {
    {"QAP-Plutonic", kQuartzPlutonic},
    {"QAP-Volcanic", kQuartzVolcanic},
    {"FAP-Plutonic",
     {"A - Foid Bearing Alkali Feldspar Syenite", "B - Foid Bearing Syenite", "C - Foid Bearing Monzonite",
      "D - Foid Bearing Monzodiorite (An < 50%)", "D - Foid Bearing Monzogabbro (An > 50%)",
      "E - Foid Bearing Diorite (An < 50%)", "E - Foid Bearing Gabbro (An > 50%)",
      "E - Foid Bearing Anorthosite (M < 10%)", "F - Foid Syenite", "G - Foid Monzosyenite",
      "H - Foid Monzodiorite (An < 50%)", "H - Foid Monzogabbro (An > 50%)", "I - Foid Diorite (An < 50%)",
      "I - Foid Gabbro (An > 50%)", "I - Foid Anorthosite (M < 10%)", "J - Foidolite"}},
    {"FAP-Volcanic",
     {"A - Foid Bearing Alkali Feldspar Trachyte", "B - Foid Bearing Trachyte", "C - Foid Bearing Latite",
      "D - Basalt (M = 35-90% or SiO2 > 52%)", "D - Andesite (M = 0-35% or SiO2 < 52%)", "E - Phonolite",
      "F - Tephritic Phonolite", "G - Phonolitic Basanite (Olivene > 10%)", "G - Phonolitic Tephrite (Olivene < 10%)",
      "H - Basanite (Olivene > 10%)", "H - Tephrite (Olivene < 10%", "I - Phonolitic Foidite",
      "J - Tephritic Foidite", "K - Foidite"}},
    {"QAPF-Plutonic",
     joined(kQuartzPlutonic,
            {"A2 - Foid Bearing Alkali Feldspar Syenite", "B2 - Foid Bearing Syenite",
             "C2 - Foid Bearing Monzonite", "D2 - Foid Bearing Monzodiorite (An < 50%)",
             "D2 - Foid Bearing Monzogabbro (An > 50%)", "E2 - Foid Bearing Diorite (An < 50%)",
             "E2 - Foid Bearing Gabbro (An > 50%)", "E2 - Foid Bearing Anorthosite (M < 10%)", "F2 - Foid Syenite",
             "G2 - Foid Monzosyenite", "H2 - Foid Monzodiorite (An < 50%)", "H2 - Foid Monzogabbro (An > 50%)",
             "I2 - Foid Diorite (An < 50%)", "I2 - Foid Gabbro (An > 50%)", "I2 - Foid Anorthosite (M < 10%)",
             "J2 - Foidolite"})},
    {"QAPF-Volcanic",
     joined(kQuartzVolcanic,
            {"A2 - Foid Bearing Alkali Feldspar Trachyte", "B2 - Foid Bearing Trachyte", "C2 - Foid Bearing Latite",
             "D2 - Basalt (M = 35-90% or SiO2 > 52%)", "D2 - Andesite (M = 0-35% or SiO2 < 52%)", "E2 - Phonolite",
             "F2 - Tephritic Phonolite", "G2 - Phonolitic Basanite (Olivene > 10%)",
             "G2 - Phonolitic Tephrite (Olivene < 10%)", "H2 - Basanite (Olivene > 10%)",
             "H2 - Tephrite (Olivene < 10%", "I2 - Phonolitic Foidite", "J2 - Tephritic Foidite", "K2 - Foidite"})},
    {"OlOpxCpx-UMafic",
     {"A - Dunite", "B - Harzburgite", "C - Lherzolite", "D - Wherlite", "E - Olivene Orthopyroxenite",
      "F - Olivene Websterite", "G - Olivene Clinopyroxenite", "H - Orthopyroxenite", "I - Websterite",
      "J - Clinopyroxenite"}},
    {"OlPxHbl-UMafic",
     {"A - Dunite", "B - Pyroxene Peridotite", "C - Proxene Hornblende Peridotite", "D - Hornblende Peridotite",
      "E - Olivene Pyroxenite", "F - Olivene Hornblende Pyroxenite", "G - Olivene Pyroxene Hornblendite",
      "H - Olivene Hornblendite", "I - Proxenite", "J - Pyroxene Hornblendite", "K - Hornblende Pyroxenite",
      "L - Hornblendite"}},
    {"PlagOPxCPx-Gabbroic",
     {"A - Anorthosite", "B - Norite", "C - Clinopyroxene Norite (Gabbronorite)",
      "D - Orthopyroxene Gabbro (Gabbronorite)", "E - Gabbro", "F - Plagioclase Bearing Pyroxenite"}},
    {"PlagPxHbl-Gabbroic",
     {"A - Anorthosite", "B - Gabbro", "C - Pyroxene Hornblende Gabbro", "D - Hornblende Gabbro", "E - Gabbronorite",
      "F - Hornblende Gabbronorite", "G - Norite", "H - Pyroxene Hornblende Norite",
      "I - Plagioclase Bearing Pyroxenite", "J - Plagioclase Bearing Hornblende Pyroxenite",
      "K - Plagioclase Bearing Pyroxene Hornblendite", "L - Plagioclase Bearing Hornblendite"}},
    {"PlagPxOl-Gabbroic",
     {"A - Anorthosite", "B - Gabbro", "C - Olivene Gabbro", "D - Troctolite", "E - Gabbronorite",
      "F - Olivene Gabbronorite", "G - Norite", "H - Olivene Norite", "I - Plagioclase Bearing UMafics"}},
    {"TAS-Volcanic",
     {"A - Foidite", "B - Picrobasalt", "C - Basanite (Olivene > 10%)", "C - Tephrite (Olivene < 10%)",
      "D - Phonotephrite", "E - Tephriphonolite", "F - Phonolite", "G - Basalt", "H - Trachybasalt",
      "I - Basaltic Trachyandesite", "J - Trachyandesite", "K - Trachyte (Quartz < 20%)",
      "K - Trachydacite (Quartz > 20%)", "L - Basaltic Andesite", "M - Andesite", "N - Dacite", "O - Rhyolite"}},
    {"Sandstones",
     {"A - Quartz Arenite (Orthoquartzite)", "B - Subarkose (Protoquartzite)", "C - Quartz Wacke", "D - Greywacke",
      "E - Arkose", "F - Mudrocks (Clay > 75%)", "C,D - Wackes (Clay > 15% and < 75%)",
      "A,B,E - Arenites (Clay < 15%)"}},
    {"Arenites",
     {"A - Quartz Arenite", "B - Subarkose", "C - Sublitharenite", "D - Arkosic Arenite or Arkose (Felds > 75%)",
      "D - Arkosic Arenite or Lithic Arkose (Felds <75%)", "E - Litharenite "}},
    {"Wackes",
     {"A - Quartz Wacke", "B - Feldspathic Wacke", "C - Lithic Wacke"}},
    {"Carbonatites",
     {"A - Calciocarbonatite", "B - Magnesiocarbonatite", "C - Ferrocarbonatite"}},
    {"Charnockites",
     {"A - Alkali Feldspar Charnockite", "B - Charnockite", "C - Opdalite or Charno-enderbite", "D - Enderbite",
      "E - Hypersthene Alkali Feldspar Syenite", "F - Hypersthene Syenite", "G - Mangerite", "H - Jotunite",
      "I - Norite", "I - Anorthosite (M < 10%)"}},
    {"Melilite-Plutonic",
     {"A - Melilitolite", "B - Olivene Melilitolite (Kugdite)", "C - Pyroxene Olivene Melilitolite",
      "D - Olivene Pyroxene Melilitolite (Olivene Uncompahgrite)", "E - Pyroxene Melilitolite (Uncompahgrite)",
      "F - Melilite bearing Peridotite (Olivene > 40%)", "F - Melilite bearing Pyroxenite (Olivene < 40%)"}},
    {"Melilite-Volcanic",
     {"A - Melilite", "B - Olivene Melilite", "C - Melilite Bearing Pyroxenite (Olivene < 40%)",
      "C - Melilite Bearing Peridotite (Olivene > 40%)"}},
};

bool IsKeyLine(const DrawOp& op) { return op.kind == DrawOp::Text && op.text.contains(QLatin1String(" - ")); }

// A keyed graph with the user's box, line and text, placed inside the
// diagram of its kind.
PrintedGraph KeyedGraph(const QString& type, const char* size) {
    PrintedGraph g;
    g.DiagramType = type;
    g.DiagramTitle = type;
    g.DiagramSize = QString::fromLatin1(size);
    g.AxisLabels = {QString(), QStringLiteral("SiO2 (wt %)"), QStringLiteral("Na2O + K2O (wt %)"),
                    QStringLiteral("P"), QStringLiteral("F")};
    g.FieldKeyChecked = true;
    const bool tas = type == QLatin1String("TAS-Volcanic"), diamond = type.startsWith(QLatin1String("QAPF"));
    const float x = tas ? 70 : 80, y = tas ? 14 : diamond ? -85 : 85, d = tas ? 1 : 10;
    g.BoxList.push_back({x, x + d, y, y + d});
    g.LineList.push_back({x, y, x + d, y - d});
    g.TextLabelList.push_back({QStringLiteral("note"), x, y, QStringLiteral("Arial"), 10, 0, 0, 0});
    return g;
}

class PrintedKeys : public PrintJob {
protected:
    // An A4 sheet, printable all over, unless a test asks for another.
    void SetUp() override {
        PrintJob::SetUp();
        UsePaper(11906, 16838);
    }
    void UsePaper(double width, double height) {
        auto paper = std::make_unique<qvrt::RecordingPrinter>(width, height);
        printer = paper.get();
        qvrt::SetPrinter(std::move(paper));
    }

    std::vector<DrawOp> KeyLines() const {
        std::vector<DrawOp> key;
        for (const DrawOp& op : printer->Ops())
            if (IsKeyLine(op)) key.push_back(op);
        return key;
    }
};

TEST_F(PrintedKeys, EveryDiagramPrintsItsKeyLinesAsSpelled) {
    ASSERT_EQ(overlays::AllDiagrams().size(), kPrintedKeys.size());
    for (const overlays::Diagram* d : overlays::AllDiagrams()) {
        SCOPED_TRACE(d->type);
        printer->ClearOps();
        PrintedGraph g = KeyedGraph(QString::fromLatin1(d->type), "Large");
        g.ShowFieldLetters = 0;
        Print(g);
        std::vector<QByteArray> printed;
        for (const DrawOp& op : KeyLines()) printed.push_back(op.text.toLatin1());
        const std::vector<const char*>& spelled = kPrintedKeys.at(d->type);
        EXPECT_EQ(printed, std::vector<QByteArray>(spelled.begin(), spelled.end()));
    }
}

// How far two text boxes overlap top to bottom, in lines of the lower one;
// 0 when they lie apart either way.
double Overprint(const DrawOp& a, const DrawOp& b) {
    const double across = std::min(a.device2.x(), b.device2.x()) - std::max(a.device1.x(), b.device1.x());
    const double down = std::min(a.device2.y(), b.device2.y()) - std::max(a.device1.y(), b.device1.y());
    if (a.page != b.page || across <= 0 || down <= 0) return 0;
    return down / (b.device2.y() - b.device1.y());
}

double WorstOverprint(const std::vector<DrawOp>& key) {
    double worst = 0;
    for (size_t i = 0; i < key.size(); ++i)
        for (size_t j = i + 1; j < key.size(); ++j) worst = std::max(worst, Overprint(key[i], key[j]));
    return worst;
}

TEST_F(PrintedKeys, KeysStayLegibleAndOnThePageOnEveryPaperWhicheverWayItLies) {
    // The closest key there is: TAS at Small on an upright A4 page, whose
    // lines stand half a unit apart, a little less than a line.
    PrintedGraph tas = KeyedGraph(QStringLiteral("TAS-Volcanic"), "Small");
    Print(tas);
    const double tightest = WorstOverprint(KeyLines());
    ASSERT_GT(tightest, 0);
    ASSERT_LT(tightest, 0.1);

    const struct Paper { const char* name; double width, height; } papers[] = {
        {"A4", 11906, 16838}, {"Letter", 12240, 15840}, {"A5", 8391, 11906}, {"A6", 5953, 8391}};
    // A key on a page of its own prints alike on any paper.
    std::vector<std::pair<const Paper*, const overlays::Diagram*>> cases;
    for (const Paper& paper : papers)
        for (const overlays::Diagram* d : overlays::AllDiagrams())
            if (&paper == papers || d->paperKey != overlays::PaperKey::OwnPage) cases.emplace_back(&paper, d);
    for (const auto& [paper, d] : cases) {
        for (const char* size : {"Large", "Medium", "Small"}) {
            for (const int orientation : {qvrt::vbPRORPortrait, qvrt::vbPRORLandscape}) {
                const QString type = QString::fromLatin1(d->type);
                SCOPED_TRACE(std::string(d->type) + ' ' + size + ' ' + paper->name +
                             (orientation == qvrt::vbPRORLandscape ? " wide" : ""));
                UsePaper(paper->width, paper->height);
                printer->SetOrientation(orientation);
                PrintedGraph g = KeyedGraph(type, size);
                Print(g);
                const std::vector<DrawOp> key = KeyLines();
                ASSERT_EQ(key.size(), kPrintedKeys.at(d->type).size());
                EXPECT_LE(WorstOverprint(key), tightest + 1e-9);
                // Titles, tick labels and field letters all print before the key.
                for (auto op = printer->Ops().begin(); !IsKeyLine(*op); ++op) {
                    if (op->kind != DrawOp::Text) continue;
                    for (const DrawOp& line : key)
                        EXPECT_EQ(Overprint(line, *op), 0) << qPrintable(Describe(line) + " / " + Describe(*op));
                }

                for (const DrawOp& op : printer->Ops()) {
                    if (op.kind == DrawOp::Box || op.kind == DrawOp::Line || op.text == QLatin1String("note")) {
                        EXPECT_EQ(op.page, 1) << qPrintable(Describe(op));
                    }
                    if (op.kind != DrawOp::Text || op.text.isEmpty()) continue;
                    const QRectF box(op.device1, op.device2);
                    EXPECT_TRUE(box.left() >= 0 && box.top() >= 0 && box.right() <= printer->Width() &&
                                box.bottom() <= printer->Height())
                        << qPrintable(Describe(op));
                }

                if (orientation == qvrt::vbPRORPortrait && paper->width >= 11906 &&
                    !type.startsWith(QLatin1String("QAPF"))) {
                    // One column down an A4 or Letter page, as the printed diagrams have it.
                    for (size_t n = 1; n < key.size(); ++n) EXPECT_GT(key[n].device1.y(), key[n - 1].device1.y());
                    if (type == QLatin1String("TAS-Volcanic")) {
                        for (size_t n = 0; n < key.size(); ++n) EXPECT_NEAR(key[n].y1, -2 - 0.5 * double(n), 1e-6);
                    }
                }
                if (type == QLatin1String("TAS-Volcanic")) {
                    // The silica title starts below its tick labels.
                    const auto ops = printer->OpsOf(DrawOp::Text);
                    const auto title = std::find_if(ops.begin(), ops.end(), [](const DrawOp& op) {
                        return op.text.startsWith(QLatin1String("SiO2"));
                    });
                    ASSERT_NE(title, ops.end());
                    for (const DrawOp& op : ops) {
                        if (op.text == QLatin1String(" 57")) {
                            EXPECT_GE(title->device1.y(), op.device2.y());
                        }
                    }
                }
            }
        }
    }
}

TEST_F(PrintedKeys, AKeyReachingTheFootOfAWidePageGoesOnInASecondColumn) {
    UsePaper(10000, 15000);
    printer->SetOrientation(qvrt::vbPRORLandscape);
    PrintedGraph g = KeyedGraph(QStringLiteral("QAP-Plutonic"), "Large");
    g.PrintSymbolLegendChecked = true;
    Print(g);
    const std::vector<DrawOp> key = KeyLines();
    ASSERT_EQ(key.size(), 23u);
    // The second column starts level with the first line, right of the first column.
    const auto second =
        std::find_if(key.begin(), key.end(), [&](const DrawOp& op) { return op.device1.x() > key[0].device2.x(); });
    ASSERT_NE(second, key.end());
    EXPECT_NEAR(second->device1.y(), key[0].device1.y(), 1e-6);
    for (auto it = key.begin(); it != second; ++it) EXPECT_LE(it->device2.x(), second->device1.x());
    for (const DrawOp& op : key) EXPECT_EQ(op.page, 1);
    EXPECT_EQ(printer->OpsOf(DrawOp::NewPage).size(), 1u);  // the legend page
}

// On a sheet too small for the key beside the diagram, what does not fit
// goes on a page of its own after the diagram's page, the user's drawings
// staying with the diagram.
TEST_F(PrintedKeys, AKeyThatFitsNoColumnGoesOnAfterTheDiagramsPage) {
    UsePaper(4000, 6000);
    PrintedGraph g = KeyedGraph(QStringLiteral("QAP-Plutonic"), "Large");
    g.TextLabelList.back().italic = -1;
    Print(g);
    const std::vector<DrawOp> key = KeyLines();
    ASSERT_EQ(key.size(), 23u);
    EXPECT_EQ(key.front().page, 1);
    EXPECT_GT(key.back().page, 1);
    for (size_t n = 0; n < key.size(); ++n) {
        EXPECT_EQ(key[n].text.toStdString(), kPrintedKeys.at("QAP-Plutonic")[n]);
        EXPECT_FALSE(key[n].italic);
        EXPECT_TRUE(key[n].bold);
        EXPECT_DOUBLE_EQ(key[n].fontSize, 6);
    }
    const auto later = std::find_if(key.begin(), key.end(), [](const DrawOp& op) { return op.page > 1; });
    EXPECT_NEAR(later->device1.y(), 0, 1e-6);
    for (const DrawOp& op : printer->OpsOf(DrawOp::Box)) EXPECT_EQ(op.page, 1);
}

}  // namespace
}  // namespace quarvex::printing
