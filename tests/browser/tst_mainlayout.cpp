// The main window's layout arithmetic, in twips.
#include "mainlayout.h"

#include <QTest>

namespace {

struct Figure
{
    const char *name;
    float value;
};
using Figures = QList<Figure>;

// The figures a test names, read from a layout.
float figure(const MainLayout &l, const QByteArray &name)
{
    const QHash<QByteArray, float> all {
        {"fraSideBar.top", l.fraSideBar.top},
        {"fraSideBar.height", l.fraSideBar.height},
        {"cmdNewWP.top", l.cmdNewWP.top},
        {"imgSideBar.left", l.imgSideBar.left},
        {"imgSideBar.top", l.imgSideBar.top},
        {"lblTitleBack.left", l.lblTitleBack.left},
        {"lblTitleBack.top", l.lblTitleBack.top},
        {"lblTitleBack.width", l.lblTitleBack.width},
        {"imgLeftCorner.left", l.imgLeftCorner.left},
        {"imgRightCorner.left", l.imgRightCorner.left},
        {"txtPageTitle.left", l.txtPageTitle.left},
        {"txtPageTitle.width", l.txtPageTitle.width},
        {"tbs.left", l.tbs.left},
        {"tbs.top", l.tbs.top},
        {"tbs.width", l.tbs.width},
        {"tbs.height", l.tbs.height},
        {"tabLength", l.tabLength},
        {"txtURL.left", l.txtURL.left},
        {"txtURL.top", l.txtURL.top},
        {"txtURL.width", l.txtURL.width},
        {"wbPage.left", l.wbPage.left},
        {"wbPage.top", l.wbPage.top},
        {"wbPage.width", l.wbPage.width},
        {"wbPage.height", l.wbPage.height},
        {"pgrLoad.left", l.pgrLoad.left},
        {"pgrLoad.top", l.pgrLoad.top},
        {"pgrLoad.width", l.pgrLoad.width},
        {"stbStatus.top", l.stbStatus.top},
        {"stbStatus.width", l.stbStatus.width},
    };
    Q_ASSERT(all.contains(name));
    return all.value(name);
}

constexpr float kThickness = 375; // the strip's tab thickness in these tests

MainLayout designed()
{
    MainLayout l = MainLayout::designed();
    l.tabThickness = kThickness;
    return l;
}

} // namespace

Q_DECLARE_METATYPE(Figures)

class TestMainLayout : public QObject
{
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
    void toggleTwiceGivesBackTheLayout();
    void noTabsSkipsTheirSteps();
    void twipsToPixels_data();
    void twipsToPixels();
};

void TestMainLayout::figures_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<bool>("sideBar");
    QTest::addColumn<Figures>("expected");

    QTest::newRow("designed size, side bar shown") << 10455.f << 8130.f << true
                                                   << Figures {{"fraSideBar.height", 6900},
                                                               {"cmdNewWP.top", 6285},
                                                               {"imgSideBar.left", 2895},
                                                               {"imgSideBar.top", 4057.5},
                                                               {"lblTitleBack.left", 3030},
                                                               {"lblTitleBack.width", 7425},
                                                               {"imgLeftCorner.left", 3030},
                                                               {"imgRightCorner.left", 9930},
                                                               {"txtPageTitle.left", 3510},
                                                               {"txtPageTitle.width", 6420},
                                                               {"tbs.left", 3030},
                                                               {"tbs.height", 6405},
                                                               {"tbs.width", 7425},
                                                               {"tabLength", 1257},
                                                               {"txtURL.left", 3150},
                                                               {"txtURL.width", 6825 - kThickness},
                                                               {"wbPage.top", 1725},
                                                               {"wbPage.left", 3150},
                                                               {"wbPage.width", 6825 - kThickness},
                                                               {"wbPage.height", 5760},
                                                               {"pgrLoad.top", 7755},
                                                               {"pgrLoad.width", 7500},
                                                               {"pgrLoad.left", 0},
                                                               {"stbStatus.top", 7755},
                                                               {"stbStatus.width", 10455},
                                                               // tops that the layout never moves
                                                               {"fraSideBar.top", 720},
                                                               {"lblTitleBack.top", 840},
                                                               {"tbs.top", 1200},
                                                               {"txtURL.top", 1320}};
    QTest::newRow("designed size, side bar hidden")
        << 10455.f << 8130.f << false << Figures {{"fraSideBar.height", 6975},   {"cmdNewWP.top", 6240},
                                                  {"imgSideBar.left", 0},        {"imgSideBar.top", 4057.5},
                                                  {"lblTitleBack.left", 135},    {"lblTitleBack.width", 10320},
                                                  {"imgRightCorner.left", 9930}, {"txtPageTitle.left", 615},
                                                  {"txtPageTitle.width", 9315},  {"tbs.left", 135},
                                                  {"tbs.width", 10320},          {"tbs.height", 6405},
                                                  {"txtURL.left", 255},          {"txtURL.width", 9720 - kThickness},
                                                  {"wbPage.left", 255},          {"wbPage.width", 9720 - kThickness}};
    // H - S - B < 0: heights that would turn negative keep their last values; the other steps still run.
    QTest::newRow("too low") << 5000.f << 1000.f << true
                             << Figures {{"fraSideBar.height", 6900},
                                         {"cmdNewWP.top", 6285},
                                         {"imgSideBar.top", 492.5},
                                         {"lblTitleBack.width", 1970},
                                         {"tbs.height", 6405},
                                         {"tabLength", 1257},
                                         {"txtURL.width", 1970 - kThickness - 600},
                                         {"wbPage.height", 5760},
                                         {"pgrLoad.top", 625},
                                         {"pgrLoad.width", 2045},
                                         {"imgRightCorner.left", 4475}};
    // Too narrow: the band keeps its width, so everything sized from it does too.
    QTest::newRow("too narrow") << 2000.f << 8130.f << true
                                << Figures {{"lblTitleBack.left", 3030},   {"lblTitleBack.width", 7425},
                                            {"imgRightCorner.left", 1475}, {"txtPageTitle.width", 6420},
                                            {"tbs.width", 7425},           {"txtURL.width", 6825 - kThickness},
                                            {"pgrLoad.width", 7500},       {"stbStatus.width", 2000}};
}

void TestMainLayout::figures()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(bool, sideBar);
    QFETCH(Figures, expected);

    // Laid out first at the designed size with the side bar shown, as the window is when first shown.
    const MainLayout first = layoutMainWindow(designed(), 10455, 8130, true);
    const MainLayout l = layoutMainWindow(sideBar ? first : designed(), width, height, sideBar);
    for (const Figure &f : expected) {
        if (figure(l, f.name) != f.value)
            QFAIL(qPrintable(QStringLiteral("%1 is %2, expected %3").arg(f.name).arg(figure(l, f.name)).arg(f.value)));
    }
    // Growing back to the designed size restores the first layout.
    if (sideBar)
        QCOMPARE(layoutMainWindow(l, 10455, 8130, true), first);
}

void TestMainLayout::toggleTwiceGivesBackTheLayout()
{
    const MainLayout first = layoutMainWindow(designed(), 10455, 8130, true);
    const MainLayout hidden = layoutMainWindow(first, 10455, 8130, false);
    QVERIFY(!(hidden == first));
    QCOMPARE(layoutMainWindow(hidden, 10455, 8130, true), first);
}

void TestMainLayout::noTabsSkipsTheirSteps()
{
    MainLayout l = designed();
    l.tabCount = 0;
    const MainLayout out = layoutMainWindow(l, 10455, 8130, true);
    QCOMPARE(out.tabLength, l.tabLength);
    QCOMPARE(out.wbPage, l.wbPage);
    QCOMPARE(out.tbs.height, 6405.f);
}

void TestMainLayout::twipsToPixels_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("width");
    QTest::addColumn<qreal>("dpi");
    QTest::addColumn<int>("pixelLeft");
    QTest::addColumn<int>("pixelWidth");
    QTest::newRow("96 dpi") << 3030.f << 7425.f << qreal(96) << 202 << 495;
    QTest::newRow("144 dpi") << 3030.f << 7425.f << qreal(144) << 303 << 743;
    QTest::newRow("half pixels") << 4057.5f << 135.f << qreal(96) << 271 << 9; // edges 270.5 and 279.5
}

void TestMainLayout::twipsToPixels()
{
    QFETCH(float, left);
    QFETCH(float, width);
    QFETCH(qreal, dpi);
    QFETCH(int, pixelLeft);
    QFETCH(int, pixelWidth);
    const QRect r = ::twipsToPixels(TwipsRect {left, 0, width, 0}, dpi, 96);
    QCOMPARE(r.left(), pixelLeft);
    QCOMPARE(r.width(), pixelWidth);
}

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
