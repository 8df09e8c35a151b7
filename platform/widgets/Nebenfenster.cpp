#include "platform/widgets/Nebenfenster.h"

#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace {

class EscFilter : public QObject {
  public:
    explicit EscFilter(QWidget* fenster) : QObject(fenster), fenster_(fenster) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Keys a child did not take come to the window itself.
        if (watched == fenster_ && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            fenster_->close();
            return true;
        }
        return false;
    }

  private:
    QWidget* fenster_;
};

}  // namespace

void escSchliesst(QWidget* fenster) {
    fenster->installEventFilter(new EscFilter(fenster));
}
