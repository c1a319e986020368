// No exception leaves an event handler into Qt's event loop: the program's application object
// drops such an event and the program goes on.
#include "desktop/start_up.h"

#include <QPainter>
#include <QWidget>
#include <QtTest>

#include <new>

namespace {

class FailingObject : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::bad_alloc();
        return QObject::event(event);
    }
};

// Drawing that runs out of memory, as a box painted with the memory used up would.
class FailingPainter : public QWidget {
public:
    int attempts = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++attempts;
        throw std::bad_alloc();
    }
};

} // namespace

class GuardedApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void failingHandlersDropTheirEventAndTheProgramGoesOn()
    {
        FailingObject failing;
        QEvent sent(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&failing, &sent));
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        QCoreApplication::processEvents();

        FailingPainter painter;
        painter.resize(50, 50);
        painter.show();
        QTRY_VERIFY(painter.attempts > 0);
        painter.repaint();
        QVERIFY(painter.attempts > 1);
    }
};

int main(int argc, char* argv[])
{
    desktop::GuardedApplication application(argc, argv);
    GuardedApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guarded_application.moc"
