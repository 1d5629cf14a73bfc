// The window as it looks on a high-density screen (QT_SCALE_FACTOR=2) and
// under a dark Fusion palette: every picture is drawn at the screen's own
// density, and shows against the dark window. Screenshots for a person to
// look at land in build/tests/screenshots.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/AppIdentity.h"
#include "app/MainFrame.h"
#include "app/MainToolBar.h"
#include "app/TorviQuillbookApp.h"
#include "tree/ItemIcons.h"
#include "tree/LeftView.h"

#include <QAction>
#include <QPainter>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <cmath>

namespace {

double luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

// The share of a picture's drawn area (over the background `behind`) that
// stands out from `behind` with a contrast of at least 3:1.
double visibleShare(const QPixmap &picture, const QColor &behind)
{
    QImage alpha = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    alpha.setDevicePixelRatio(1.0);  // pixel for pixel
    QImage canvas(alpha.size(), QImage::Format_ARGB32);
    canvas.fill(behind);
    {
        QPainter p(&canvas);
        p.drawImage(0, 0, alpha);
    }
    const double back = luminance(behind.rgb());
    int drawn = 0;
    int visible = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(alpha.pixel(x, y)) < 128)
                continue;
            ++drawn;
            const double l = luminance(canvas.pixel(x, y));
            if ((std::max(l, back) + 0.05) / (std::min(l, back) + 0.05) >= 3.0)
                ++visible;
        }
    }
    return drawn ? double(visible) / drawn : 0.0;
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::ToolTipBase, QColor(35, 35, 35));
    dark.setColor(QPalette::ToolTipText, Qt::white);
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    return dark;
}

struct CWindow : guitest::CProgramInFolder
{
    bool open()
    {
        CDocFixture maker;
        maker.addRootAndChild("Shopping", "Bread, milk, apples");
        const QString path = dir.filePath(QStringLiteral("looks.tqb"));
        if (!maker.doc->saveDocument(path))
            return false;
        if (!start(path))
            return false;
        frame->resize(760, 420);
        frame->itemView()->expandAll();
        return QTest::qWaitForWindowExposed(frame);
    }
};

}  // namespace

class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        AppIdentity::apply();
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
    }

    // Sharp pictures: each is drawn with twice the pixels, not stretched.
    void picturesAtTheScreensDensity()
    {
        CWindow w;
        QVERIFY(w.open());
        QCOMPARE(w.frame->devicePixelRatio(), 2.0);
        const auto sharp = [](const QIcon &icon, int size) {
            const QPixmap pm = icon.pixmap(QSize(size, size), 2.0);
            return pm.size() == QSize(2 * size, 2 * size) && pm.devicePixelRatio() == 2.0;
        };
        for (QAction *action : w.frame->findChild<QToolBar *>(QStringLiteral("toolbar"))->actions()) {
            if (!action->isSeparator() && !action->icon().isNull())
                QVERIFY2(sharp(action->icon(), CMainToolBar::kImageSize), qPrintable(action->objectName()));
        }
        for (int image = 0; image < CItemIcons::kCount; ++image)
            QVERIFY2(sharp(CItemIcons::instance().icon(image), 16), qPrintable(QString::number(image)));
        QVERIFY(sharp(AppIdentity::applicationIcon(), 64));
        QVERIFY(guitest::saveScreenshot(*w.frame, QStringLiteral("window-scale2")));
    }

    void darkFusionPalette()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
        CWindow w;
        QVERIFY(w.open());
        const QColor window = w.frame->palette().color(QPalette::Window);
        const QColor base = w.frame->itemView()->palette().color(QPalette::Base);
        QCOMPARE(window, QColor(53, 53, 53));
        QVERIFY(guitest::saveScreenshot(*w.frame, QStringLiteral("window-dark-fusion")));
        // No picture vanishes on the dark background: some of what it draws
        // stands out clearly (dark pictures drawn for light windows, with no
        // light part at all, would not).
        for (QAction *action : w.frame->findChild<QToolBar *>(QStringLiteral("toolbar"))->actions()) {
            if (action->isSeparator() || action->icon().isNull())
                continue;
            const double share = visibleShare(action->icon().pixmap(CMainToolBar::kImageSize), window);
            QVERIFY2(share >= 0.03, qPrintable(QStringLiteral("%1: %2").arg(action->objectName()).arg(share)));
        }
        for (int image = 0; image < CItemIcons::kCount; ++image) {
            const double share = visibleShare(CItemIcons::instance().icon(image).pixmap(16), base);
            QVERIFY2(share >= 0.03, qPrintable(QStringLiteral("item icon %1: %2").arg(image).arg(share)));
        }
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestLooks test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_looks.moc"
