// The layout applied to the real main window: side-bar toggle, tab column, a window too small.
#include "mainlayout.h"
#include "mainwindowharness.h"

#include <QLabel>
#include <QTabBar>
#include <QTest>

namespace {

template<typename T = QWidget>
T *control(QWidget *w, const char *name)
{
    T *found = w->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

const char *const kMoved[] = {"fraSideBar",    "cmdNewWP",       "imgSideBar",   "lblTitleBack",
                              "imgLeftCorner", "imgRightCorner", "txtPageTitle", "tabPage",
                              "tbs",           "txtURL",         "browserArea",  "pgrLoad"};

QHash<QByteArray, QRect> geometries(QWidget *w)
{
    QHash<QByteArray, QRect> all;
    for (const char *name : kMoved)
        all.insert(name, control(w, name)->geometry());
    return all;
}

void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(1, 1));
}

} // namespace

class TestMainWindowLayout : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_h = std::make_unique<MainWindowHarness>(qEnvironmentVariable("VAULTRY_PROGRAM_DIR"));
        m_h->open();
        QVERIFY(QTest::qWaitForWindowExposed(m_h->window.get()));
    }
    void cleanup() { m_h.reset(); }

    void tabsStandInAColumnAtTheStripsRightEdge();
    void sideBarToggle();
    void windowTooSmallKeepsLastSizes();

private:
    std::unique_ptr<MainWindowHarness> m_h;
};

void TestMainWindowLayout::tabsStandInAColumnAtTheStripsRightEdge()
{
    frmMain *w = m_h->window.get();
    auto *tbs = control<QTabBar>(w, "tbs");
    const QRect band = control(w, "lblTitleBack")->geometry();
    const QRect page = control(w, "tabPage")->geometry();
    QCOMPARE(tbs->geometry().right(), band.right());
    QCOMPARE(tbs->geometry().top(), page.top());
    QCOMPARE(page.left(), band.left());
    // Five tabs of one length, one below the other, sharing the strip's height less 120 twips.
    const int length = qRound(pixelsToTwips(page.height(), w->logicalDpiY()) - 120) / 5;
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(tbs->tabRect(k).left(), 0);
        QVERIFY(qAbs(tbs->tabRect(k).height() - twipsToPixels(length, w->logicalDpiY())) <= 1);
        if (k > 0)
            QCOMPARE(tbs->tabRect(k).top(), tbs->tabRect(k - 1).bottom() + 1);
    }
    // The address box and the browsers keep 120 twips off the page's left edge and clear of the tabs.
    const QRect url = control(w, "txtURL")->geometry();
    QCOMPARE(url.left(), band.left() + twipsToPixels(120, w->logicalDpiX()));
    QVERIFY(url.right() < tbs->geometry().left());
    QCOMPARE(control(w, "browserArea")->geometry().left(), url.left());
    QCOMPARE(control(w, "browserArea")->geometry().width(), url.width());
}

void TestMainWindowLayout::sideBarToggle()
{
    frmMain *w = m_h->window.get();
    auto *picture = control<QLabel>(w, "imgSideBar");
    QWidget *sideBar = control(w, "fraSideBar");
    const QHash<QByteArray, QRect> first = geometries(w);
    const QImage hide = picture->pixmap().toImage();
    QVERIFY(!hide.isNull());
    QCOMPARE(picture->x(), sideBar->width());

    click(picture);
    QVERIFY(sideBar->isHidden());
    QVERIFY(picture->pixmap().toImage() != hide);
    QCOMPARE(picture->x(), 0);
    // Band, strip and address box start at the picture's right edge (135 twips) and widen by as much.
    const int edge = twipsToPixels(135, w->logicalDpiX());
    QCOMPARE(control(w, "lblTitleBack")->x(), edge);
    QCOMPARE(control(w, "tabPage")->x(), edge);
    QCOMPARE(control(w, "txtURL")->x(), twipsToPixels(255, w->logicalDpiX()));
    QCOMPARE(control(w, "lblTitleBack")->width(), w->width() - edge);
    QCOMPARE(sideBar->geometry(), first["fraSideBar"]);

    click(picture);
    QVERIFY(!sideBar->isHidden());
    QCOMPARE(picture->pixmap().toImage(), hide);
    QCOMPARE(geometries(w), first);
}

void TestMainWindowLayout::windowTooSmallKeepsLastSizes()
{
    frmMain *w = m_h->window.get();
    const QHash<QByteArray, QRect> first = geometries(w);
    w->resize(w->width(), 40);
    QTRY_COMPARE(w->height(), 40);
    const QHash<QByteArray, QRect> small = geometries(w);
    for (const char *name : {"fraSideBar", "tabPage", "browserArea"})
        QCOMPARE(small[name].height(), first[name].height());
    // The steps that can still run did: the progress bar follows the bottom edge.
    QVERIFY(small["pgrLoad"].top() < first["pgrLoad"].top());
    w->resize(w->width() / 3, w->height());
    QTRY_VERIFY(w->width() < first["lblTitleBack"].right());
    QCOMPARE(geometries(w)["txtURL"].width(), first["txtURL"].width());
}

QTEST_MAIN(TestMainWindowLayout)
#include "tst_mainwindowlayout.moc"
