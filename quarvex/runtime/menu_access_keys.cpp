#include "quarvex/runtime/menu_access_keys.h"

#include <QActionEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace qvrt {

namespace {

bool carries(const QAction* action, const QKeySequence& key) {
    return action->isVisible() && action->isEnabled() && QKeySequence::mnemonic(action->text()) == key;
}

class AccessKeyCycler : public QObject {
public:
    explicit AccessKeyCycler(QMenuBar* bar) : QObject(bar), bar_(bar) {
        bar->installEventFilter(this);
        for (QAction* a : bar->actions()) watch(a);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == bar_) {
            if (event->type() == QEvent::ActionAdded) watch(static_cast<QActionEvent*>(event)->action());
            return false;
        }
        auto* menu = qobject_cast<QMenu*>(watched);
        if (!menu || event->type() != QEvent::KeyPress) return false;
        const auto* press = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = press->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier && mods != Qt::AltModifier) return false;
        const QKeySequence key(Qt::ALT | Qt::Key(press->key()));
        // The open menu's own items take their keys first.
        for (const QAction* item : menu->actions())
            if (carries(item, key)) return false;
        QList<QAction*> sharing;
        for (QAction* a : bar_->actions())
            if (a->menu() && carries(a, key)) sharing.append(a);
        const qsizetype at = sharing.indexOf(menu->menuAction());
        if (at < 0 || sharing.size() < 2) return false;
        bar_->setActiveAction(sharing[(at + 1) % sharing.size()]);
        return true;
    }

private:
    void watch(QAction* action) {
        // Installing again only moves the filter to the front.
        if (QMenu* menu = action ? action->menu() : nullptr) menu->installEventFilter(this);
    }

    QMenuBar* bar_;
};

}  // namespace

void CycleSharedAccessKeys(QMenuBar* bar) { new AccessKeyCycler(bar); }

}  // namespace qvrt
