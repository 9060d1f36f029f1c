#include "quarvex/frame/toolbar.h"

#include "quarvex/runtime/guard.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>

namespace quarvex {

namespace {

struct ButtonSpec {
    const char* key;
    const char* tip;
    bool separatorAfter;
};

constexpr ButtonSpec kButtons[] = {
    {"New", "New", true},
    {"Print", "Print", true},
    {"Open", "Open", false},
    {"Save", "Save", true},
    {"Delete Row", "Delete Row", false},
    {"Insert Row", "Insert Row", true},
    {"Convert", "Convert to XYZ", true},
    {"Plot", "Plot", false},
};

const QColor kInk(0, 0, 96);

// A sheet of four rows for the row buttons.
void drawSheet(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(Qt::white);
    p.drawRect(3, 3, 17, 17);
    for (int y = 7; y < 20; y += 4) p.drawLine(3, y, 20, y);
    p.drawLine(9, 3, 9, 20);
}

// The button pictures, drawn here so the program needs no image files.
QIcon iconFor(const QString& key) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    if (key == "New") {
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({{5, 2}, {15, 2}, {19, 6}, {19, 22}, {5, 22}}));
        p.drawLine(15, 2, 15, 6);
        p.drawLine(15, 6, 19, 6);
    } else if (key == "Open") {
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(2, 7, 18, 13);
        p.setBrush(QColor(250, 225, 120));
        p.drawPolygon(QPolygonF({{2, 20}, {6, 11}, {23, 11}, {20, 20}}));
    } else if (key == "Save") {
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(3, 3, 18, 18);
        p.setBrush(Qt::white);
        p.drawRect(7, 3, 10, 7);
        p.drawRect(6, 14, 12, 7);
    } else if (key == "Print") {
        p.setBrush(Qt::white);
        p.drawRect(7, 2, 10, 8);
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(2, 9, 20, 9);
        p.setBrush(Qt::white);
        p.drawRect(7, 15, 10, 7);
    } else if (key == "Delete Row" || key == "Insert Row") {
        drawSheet(p);
        const bool insert = key == "Insert Row";
        p.setPen(QPen(insert ? QColor(0, 140, 0) : QColor(200, 0, 0), 3));
        p.drawLine(12, 15, 22, 15);
        if (insert) p.drawLine(17, 10, 17, 20);
    } else if (key == "Convert") {
        p.drawPolygon(QPolygonF({{12, 2}, {22, 20}, {2, 20}}));
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 6, QFont::Bold));
        p.drawText(QRect(2, 8, 20, 12), Qt::AlignCenter, QStringLiteral("%"));
    } else if (key == "Plot") {
        p.drawLine(3, 2, 3, 21);
        p.drawLine(3, 21, 22, 21);
        p.setPen(Qt::NoPen);
        for (const QPointF& pt : {QPointF(8, 15), QPointF(12, 10), QPointF(17, 12), QPointF(19, 5)}) {
            p.setBrush(QColor(200, 0, 0));
            p.drawEllipse(pt, 2, 2);
        }
    }
    return QIcon(pixmap);
}

}  // namespace

Toolbar1::Toolbar1(std::function<void(const QString& key)> onClick, QWidget* parent)
    : QToolBar(QStringLiteral("Toolbar1"), parent) {
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setIconSize(QSize(24, 24));
    for (const ButtonSpec& b : kButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* button = addAction(iconFor(key), key);
        button->setData(key);
        button->setToolTip(QString::fromLatin1(b.tip));
        connect(button, &QAction::triggered, this, qvrt::Guarded([onClick, key](bool) { onClick(key); }));
        if (b.separatorAfter) addSeparator();
    }
}

QAction* Toolbar1::Button(const QString& key) const {
    for (QAction* a : actions())
        if (!a->isSeparator() && a->data().toString() == key) return a;
    return nullptr;
}

QStringList Toolbar1::Keys() const {
    QStringList keys;
    for (QAction* a : actions())
        if (!a->isSeparator()) keys << a->data().toString();
    return keys;
}

}  // namespace quarvex
