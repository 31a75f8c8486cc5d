#include "ui/framepacer.h"

#include <QPainter>
#include <QTest>
#include <QWidget>

// A window that repaints at most once a frame: a burst of changes is painted together,
// the last change is always painted, and a change after a quiet frame is painted at once.
class tst_FramePacer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void burstIsPaintedTogether_data();
    void burstIsPaintedTogether();
    void changeAfterQuietIsPaintedAtOnce();
};

namespace {

// Paints the number it holds and remembers what it painted last, and how often.
class Counter : public QWidget
{
public:
    explicit Counter(QWidget *parent) : QWidget(parent) { setGeometry(10, 10, 60, 30); }

    void show(int value)
    {
        m_value = value;
        update();
    }
    int painted() const { return m_painted; }
    int paints() const { return m_paints; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).drawText(rect(), QString::number(m_value));
        m_painted = m_value;
        ++m_paints;
    }

private:
    int m_value = 0;
    int m_painted = -1;
    int m_paints = 0;
};

} // namespace

void tst_FramePacer::burstIsPaintedTogether_data()
{
    QTest::addColumn<int>("widgets");
    QTest::newRow("one-widget") << 1;
    QTest::newRow("nine-widgets") << 9;
}

void tst_FramePacer::burstIsPaintedTogether()
{
    QFETCH(int, widgets);
    QWidget window;
    window.resize(200, 400);
    std::vector<Counter *> counters;
    for (int i = 0; i < widgets; ++i) {
        counters.push_back(new Counter(&window));
        counters.back()->move(10, 10 + 40 * i);
    }
    const FramePacer pacer(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int before = counters.front()->paints();
    // As a fast drag reports positions: each one turns the event loop once.
    const int changes = 200;
    for (int value = 1; value <= changes; ++value) {
        for (Counter *counter : counters)
            counter->show(value);
        QCoreApplication::processEvents();
    }
    for (Counter *counter : counters)
        QTRY_COMPARE(counter->painted(), changes);
    const int paints = counters.front()->paints() - before;
    QVERIFY2(paints < changes / 2, qPrintable(QStringLiteral("%1 paints").arg(paints)));
}

void tst_FramePacer::changeAfterQuietIsPaintedAtOnce()
{
    QWidget window;
    window.resize(200, 100);
    auto *counter = new Counter(&window);
    const FramePacer pacer(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Let more than a frame pass without a paint.
    QTRY_VERIFY(counter->painted() == 0);
    QTest::qWait(100);
    counter->show(7);
    // The update request is posted; one turn of the loop serves it.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(counter->painted(), 7);
}

QTEST_MAIN(tst_FramePacer)
#include "tst_framepacer.moc"
