// Tests of page painting: golden pictures of every object kind and style, and the
// drawing rules that can be checked pixel by pixel.
#include "testsupport.h"

#include "pagepainter.h"
#include "imagecache.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

struct Scene
{
    Publication pub;
    Page *page = nullptr;
    RenderOptions options;

    Scene(int width = 320, int height = 200)
    {
        pub.Settings.ScreenWidth = width;
        pub.Settings.ScreenHeight = height;
        page = pub.appendPage(pub.createPage(QStringLiteral("Page 1")));
        page->PageColor = rgbColor(255, 255, 255);
        options.baseDir = testDataDir();
    }

    PageObject &add(int kind, QRect box, Page *on = nullptr)
    {
        ObjectPtr object = pub.createObject(kind);
        object->X1 = box.left();
        object->Y1 = box.top();
        object->X2 = box.left() + box.width();
        object->Y2 = box.top() + box.height();
        object->LineWidth = 1;
        object->LineColor = rgbColor(0, 0, 0);
        object->FillColor = rgbColor(255, 255, 255);
        object->FillPattern = 0;
        PageObject &ref = *object;
        Page *target = on ? on : page;
        insertObject(target->Objects, std::move(object), nullptr);
        return ref;
    }

    PageObject &shape(int kind, QRect box, ColorRef fill, int pattern = 0)
    {
        PageObject &o = add(kind, box);
        o.FillColor = fill;
        o.FillPattern = quint8(pattern);
        return o;
    }

    PageObject &text(QRect box, const QString &text, int align = AlignLeftValue, int size = 10)
    {
        PageObject &o = add(TextKind, box);
        o.LineWidth = 0;
        o.FillPattern = 1;
        TextData *t = o.text();
        t->Text = text;
        t->Font = QStringLiteral("Arial");
        t->FontSize = size;
        t->Align = quint8(align);
        t->TextColor = rgbColor(0, 0, 0);
        return o;
    }

    PageObject &button(QRect box, int style, const QString &text, int align = AlignCenterValue)
    {
        PageObject &o = add(ButtonKind, box);
        o.FillColor = rgbColor(192, 192, 192);
        ButtonData *b = o.button();
        b->Style = quint8(style);
        b->Text = text;
        b->Font = QStringLiteral("Arial");
        b->FontSize = 9;
        b->Align = quint8(align);
        return o;
    }

    QImage render() const { return renderPage(pub, *page, options); }
};

bool updatingGoldens()
{
    return qEnvironmentVariableIsSet("VARDEKO_UPDATE_GOLDEN");
}

QString goldenPath(const QString &name)
{
    return QDir(testSourceDir()).filePath(QStringLiteral("data/render/%1.png").arg(name));
}

// Compares with the golden picture; writes actual and diff pictures beside the test
// binary when they differ. VARDEKO_UPDATE_GOLDEN=1 rewrites the goldens instead.
void checkGolden(const QImage &actual, const QString &name)
{
    if (updatingGoldens()) {
        QVERIFY(actual.save(goldenPath(name)));
        return;
    }
    const QImage expected(goldenPath(name));
    QVERIFY2(!expected.isNull(), qPrintable(QStringLiteral("missing golden %1").arg(goldenPath(name))));
    const ImageDifference d = compareImages(actual, expected, 24);
    // Glyph edges may move by a shade between font versions; shapes may not.
    const int allowed = actual.width() * actual.height() / 500;
    if (!d.sameSize || d.differing > allowed) {
        const QString out = QDir::current().filePath(QStringLiteral("render-failures"));
        QDir().mkpath(out);
        actual.save(QDir(out).filePath(name + QStringLiteral(".actual.png")));
        if (d.sameSize)
            d.diff.save(QDir(out).filePath(name + QStringLiteral(".diff.png")));
        QFAIL(qPrintable(QStringLiteral("%1: %2 pixels differ (allowed %3, size %4); see %5")
                             .arg(name).arg(d.differing).arg(allowed)
                             .arg(d.sameSize ? QStringLiteral("same") : QStringLiteral("differs"))
                             .arg(out)));
    }
}

bool rowHasInk(const QImage &image, int y, int x1, int x2)
{
    for (int x = x1; x <= x2; ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255))
            return true;
    return false;
}

} // namespace

class TestPagePainter : public QObject
{
    Q_OBJECT

private slots:
    void init() { ImageCache::instance().FlushImages(); }

    void goldenPages_data()
    {
        QTest::addColumn<QString>("name");
        const char *const names[] = {
            "shapes", "patterns", "patterns-transparent", "pens", "text", "pictures",
            "pictures-hidden", "push-buttons", "button-images", "entry-and-checks",
            "handles-and-grid", "run-mode", "master-and-wallpaper", "articles",
        };
        for (const char *n : names)
            QTest::newRow(n) << QString::fromLatin1(n);
    }

    void goldenPages()
    {
        QFETCH(QString, name);
        if (name == QLatin1String("pictures") || name == QLatin1String("button-images")
            || name == QLatin1String("master-and-wallpaper"))
            REQUIRE_THIRD_PARTY_FILES();
        Scene s;
        const QString wrongCase = QStringLiteral("BMP\\RGB24.BMP");
        if (name == QLatin1String("shapes")) {
            s.shape(RectangleKind, QRect(10, 10, 60, 40), rgbColor(255, 0, 0));
            PageObject &round = s.shape(RectangleKind, QRect(80, 10, 200, 60), rgbColor(0, 128, 0));
            round.LineOrigin = 1;
            PageObject &small = s.shape(RectangleKind, QRect(290, 10, 20, 40), rgbColor(0, 0, 255));
            small.LineOrigin = 1;
            PageObject &wide = s.shape(RectangleKind, QRect(10, 80, 60, 40), rgbColor(255, 255, 0));
            wide.LineWidth = 4;
            PageObject &noPen = s.shape(RectangleKind, QRect(80, 80, 40, 40), rgbColor(0, 0, 0));
            noPen.LineWidth = 0;
            s.shape(CircleKind, QRect(130, 80, 60, 40), rgbColor(255, 0, 255));
            PageObject &ring = s.shape(CircleKind, QRect(200, 80, 50, 50), rgbColor(0, 255, 255), 1);
            ring.LineWidth = 3;
            PageObject &line = s.add(LineKind, QRect(10, 140, 100, 50));
            line.LineColor = rgbColor(255, 0, 0);
            PageObject &back = s.add(LineKind, QRect(120, 140, 100, 50));
            back.LineOrigin = 1;
            back.LineWidth = 5;
            PageObject &group = s.add(GroupKind, QRect(230, 140, 80, 50));
            ObjectPtr member = s.pub.createObject(CircleKind);
            member->X1 = 230; member->Y1 = 140; member->X2 = 310; member->Y2 = 190;
            member->LineWidth = 1;
            member->FillColor = rgbColor(128, 128, 255);
            insertObject(group.Members, std::move(member), nullptr);
        } else if (name == QLatin1String("patterns") || name == QLatin1String("patterns-transparent")) {
            const bool transparent = name == QLatin1String("patterns-transparent");
            if (transparent) {
                // Stripes beneath show through the 1 bits.
                for (int i = 0; i < 20; ++i) {
                    PageObject &stripe = s.shape(RectangleKind, QRect(0, i * 10, 320, 5), rgbColor(255, 200, 0));
                    stripe.LineWidth = 0;
                }
            }
            for (int n = 2; n <= 48; ++n) {
                const int i = n - 2;
                PageObject &o = s.shape(RectangleKind, QRect(4 + (i % 8) * 39, 4 + (i / 8) * 32, 36, 29),
                                        rgbColor(0, 0, 160), n);
                o.FillMode = transparent ? 1 : 0;
            }
        } else if (name == QLatin1String("pens")) {
            for (int style = 0; style <= 6; ++style) {
                PageObject &o = s.add(LineKind, QRect(10, 10 + style * 12, 300, 0));
                o.LineStyle = quint8(style);
            }
            PageObject &thick = s.add(LineKind, QRect(10, 100, 300, 0));
            thick.LineStyle = 1;
            thick.LineWidth = 3;
            PageObject &dashedBox = s.shape(RectangleKind, QRect(10, 120, 140, 60), rgbColor(220, 220, 255));
            dashedBox.LineStyle = 3;
            PageObject &dashedCircle = s.shape(CircleKind, QRect(170, 120, 140, 60), rgbColor(220, 255, 220));
            dashedCircle.LineStyle = 2;
        } else if (name == QLatin1String("text")) {
            s.text(QRect(10, 10, 140, 40), QStringLiteral("Left^aligned|second line"), AlignLeftValue);
            s.text(QRect(160, 10, 150, 40), QStringLiteral("Centre && more"), AlignCenterValue);
            s.text(QRect(10, 60, 140, 40), QStringLiteral("Right"), AlignRightValue);
            PageObject &boxed = s.text(QRect(160, 60, 150, 30), QStringLiteral("one|two|three|four"), AlignLeftValue);
            boxed.LineWidth = 1;
            boxed.FillPattern = 0;
            boxed.FillColor = rgbColor(255, 255, 200);
            s.text(QRect(10, 110, 300, 30), QStringLiteral("Hello [Name], ^File"), AlignCenterValue, 14);
            PageObject &styled = s.text(QRect(10, 150, 300, 40), QStringLiteral("Bold italic"), AlignLeftValue, 16);
            styled.text()->FontStyle = FontBold | FontItalic;
            styled.text()->TextColor = rgbColor(0, 0, 200);
            s.options.expand = [](const QString &t) {
                QString r = t;
                return r.replace(QStringLiteral("[Name]"), QStringLiteral("Reader"));
            };
        } else if (name == QLatin1String("pictures") || name == QLatin1String("pictures-hidden")) {
            PageObject &natural = s.add(PictureKind, QRect(10, 10, 100, 80));
            natural.picture()->FileName = wrongCase;
            natural.picture()->WindowFlags = VScrollBarOn | HScrollBarOn;
            PageObject &left = s.add(PictureKind, QRect(120, 10, 90, 80));
            left.picture()->FileName = QStringLiteral("gif\\transparent.gif");
            left.picture()->WindowFlags = VScrollBarOn | HScrollBarOn;
            left.picture()->VScrollPos = 1;
            left.picture()->HScrollPos = 8;
            PageObject &stretched = s.add(PictureKind, QRect(220, 10, 90, 50));
            stretched.picture()->FileName = QStringLiteral("pcx/rgb.pcx");
            stretched.picture()->Scale = true;
            PageObject &aspect = s.add(PictureKind, QRect(10, 100, 150, 90));
            aspect.LineWidth = 2;
            aspect.picture()->FileName = QStringLiteral("tiff/hopper.tif");
            aspect.picture()->Scale = true;
            aspect.picture()->AspectRatio = true;
            PageObject &missing = s.add(PictureKind, QRect(170, 100, 140, 90));
            missing.picture()->FileName = QStringLiteral("nothing.bmp");
            missing.picture()->WindowFlags = VScrollBarOn;
            s.options.showImages = name == QLatin1String("pictures");
        } else if (name == QLatin1String("push-buttons")) {
            s.button(QRect(10, 10, 90, 30), PushButton, QStringLiteral("^Released"));
            PageObject &pressed = s.button(QRect(110, 10, 90, 30), PushButton, QStringLiteral("Pressed"));
            pressed.button()->State = 1;
            PageObject &flat = s.button(QRect(210, 10, 100, 30), PushButton, QStringLiteral("Flat left"), AlignLeftValue);
            flat.LineWidth = 0;
            PageObject &right = s.button(QRect(10, 50, 140, 40), PushButton, QStringLiteral("Right|two lines"), AlignRightValue);
            right.LineWidth = 2;
            s.button(QRect(160, 50, 150, 40), PushButton, QString());
            s.options.displayMode = 1;
        } else if (name == QLatin1String("button-images")) {
            const QString up = QStringLiteral("ico\\INPUT.ICO");
            const QString down = QStringLiteral("ico/black_and_white.ico");
            PageObject &overlay = s.button(QRect(10, 10, 90, 50), PushButton, QStringLiteral("Over"));
            overlay.button()->UpImage = up;
            overlay.button()->OverlayText = true;
            PageObject &above = s.button(QRect(110, 10, 90, 70), PushButton, QStringLiteral("Above"));
            above.button()->UpImage = up;
            PageObject &leftOf = s.button(QRect(210, 10, 100, 50), PushButton, QStringLiteral("Left"), AlignLeftValue);
            leftOf.button()->UpImage = up;
            PageObject &rightOf = s.button(QRect(10, 90, 100, 50), PushButton, QStringLiteral("Right"), AlignRightValue);
            rightOf.button()->UpImage = up;
            PageObject &pressed = s.button(QRect(120, 90, 90, 50), PushButton, QString());
            pressed.button()->UpImage = up;
            pressed.button()->DownImage = down;
            pressed.button()->State = 1;
            PageObject &trans = s.button(QRect(220, 90, 90, 50), PushButton, QString());
            trans.FillColor = rgbColor(255, 0, 0);
            trans.button()->UpImage = QStringLiteral("gif/text_mono.gif");
            trans.button()->TransImages = true;
            PageObject &animation = s.button(QRect(10, 150, 140, 40), PushButton, QStringLiteral("Animation"), AlignLeftValue);
            animation.button()->UpImage = QStringLiteral("flic/test.fli"); // its first frame
            s.options.displayMode = 1;
        } else if (name == QLatin1String("entry-and-checks")) {
            PageObject &field = s.button(QRect(10, 10, 140, 24), EntryField, QStringLiteral("Typed text"));
            field.FillColor = rgbColor(255, 255, 255);
            PageObject &thick = s.button(QRect(160, 10, 150, 30), EntryField, QStringLiteral("Thick"));
            thick.LineWidth = 3;
            thick.FillColor = rgbColor(255, 255, 255);
            int y = 50;
            for (int style : {int(CheckBox), int(RadioButton)}) {
                for (int state = 0; state <= 2; ++state) {
                    PageObject &c = s.button(QRect(10, y, 140, 20), style, QStringLiteral("Option %1").arg(state),
                                             AlignLeftValue);
                    c.LineWidth = 2;
                    c.FillPattern = 5;
                    c.button()->InitState = quint8(state);
                    y += 22;
                }
            }
            s.button(QRect(160, 50, 150, 50), CheckBox, QStringLiteral("Centred"), AlignCenterValue);
            s.button(QRect(160, 110, 150, 30), RadioButton, QStringLiteral("At the right"), AlignRightValue);
        } else if (name == QLatin1String("handles-and-grid")) {
            s.options.showGrid = true;
            s.options.gridX = 10;
            s.options.gridY = 16;
            PageObject &r = s.shape(RectangleKind, QRect(20, 20, 100, 60), rgbColor(255, 0, 0));
            r.Selected = true;
            PageObject &l = s.add(LineKind, QRect(150, 20, 100, 60));
            l.LineOrigin = 1;
            l.Selected = true;
            PageObject &g = s.add(GroupKind, QRect(40, 110, 200, 60));
            ObjectPtr m = s.pub.createObject(RectangleKind);
            m->X1 = 40; m->Y1 = 110; m->X2 = 240; m->Y2 = 170; m->LineWidth = 1;
            m->FillColor = rgbColor(0, 0, 255);
            insertObject(g.Members, std::move(m), nullptr);
            g.Selected = true;
        } else if (name == QLatin1String("run-mode")) {
            s.options.displayMode = 1;
            s.options.showGrid = true; // only the editor shows the grid
            PageObject &b = s.button(QRect(40, 40, 120, 40), PushButton, QStringLiteral("Focused"));
            b.Selected = true; // no handles in run mode
            PageObject &field = s.button(QRect(40, 110, 160, 24), EntryField, QStringLiteral("edit text"));
            field.button()->Contents = QStringLiteral("run contents");
            field.FillColor = rgbColor(255, 255, 255);
            s.options.focused = &b;
        } else if (name == QLatin1String("master-and-wallpaper")) {
            s.page->PageStyle = 1;
            s.page->PageWallPaper = QStringLiteral("ico/hopper.ico");
            Page *master = s.pub.masterPage();
            PageObject &banner = s.add(RectangleKind, QRect(0, 0, 320, 30), master);
            banner.FillColor = rgbColor(0, 0, 128);
            s.shape(CircleKind, QRect(10, 10, 60, 60), rgbColor(255, 255, 0));
        } else if (name == QLatin1String("articles")) {
            PageObject &a = s.add(ArticleKind, QRect(10, 10, 140, 120));
            a.FillColor = rgbColor(255, 255, 220);
            PageObject &both = s.add(ArticleKind, QRect(160, 10, 150, 120));
            both.LineWidth = 0;
            both.FillColor = rgbColor(220, 255, 255);
            both.article()->WindowFlags = VScrollBarOn | HScrollBarOn;
            both.article()->VScrollPos = 1;
            PageObject &top = s.add(ArticleKind, QRect(10, 140, 300, 50));
            top.LineWidth = 2;
            top.article()->WindowFlags = HScrollBarOn;
            top.article()->HScrollPos = 8;
        }
        checkGolden(s.render(), name);
    }

    // Dash styles hold only for one-pixel lines; a wider line is solid.
    void dashesOnlyAtWidthOne_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("gaps");
        QTest::newRow("width 1 dashed") << 1 << true;
        QTest::newRow("width 3 solid") << 3 << false;
    }
    void dashesOnlyAtWidthOne()
    {
        QFETCH(int, width);
        QFETCH(bool, gaps);
        Scene s;
        PageObject &line = s.add(LineKind, QRect(10, 50, 200, 0));
        line.LineWidth = width;
        line.LineStyle = 1;
        const QImage image = s.render();
        bool foundGap = false;
        for (int x = 12; x < 200; ++x)
            foundGap |= image.pixel(x, 50) == qRgb(255, 255, 255);
        QCOMPARE(foundGap, gaps);
    }

    void roundedCornerSize_data()
    {
        QTest::addColumn<QRect>("box");
        QTest::addColumn<int>("radius");
        QTest::newRow("20 by 40 gives 5") << QRect(10, 10, 20, 40) << 5;
        QTest::newRow("200 by 200 gives 15") << QRect(10, 10, 200, 200) << 15;
    }
    // The corner pixel of a rounded rectangle stays background exactly when the
    // corner ellipse is larger than a point; at r/2 along the diagonal it is filled.
    void roundedCornerSize()
    {
        QFETCH(QRect, box);
        QFETCH(int, radius);
        Scene s(240, 240);
        PageObject &o = s.shape(RectangleKind, box, rgbColor(255, 0, 0));
        o.LineOrigin = 1;
        const QImage image = s.render();
        QCOMPARE(image.pixel(box.left(), box.top()), qRgb(255, 255, 255));
        // The outline reaches the straight edge right after the corner ellipse.
        QCOMPARE(image.pixel(box.left() + radius / 2 + 1, box.top()), qRgb(0, 0, 0));
        // Far inside the corner arc, the pixel on the outline row is still background.
        if (radius >= 10)
            QCOMPARE(image.pixel(box.left() + 1, box.top() + 1), qRgb(255, 255, 255));
    }

    void textTallerThanBoxIsCutAtBottom()
    {
        Scene s;
        s.text(QRect(10, 20, 200, 30), QStringLiteral("one|two|three|four|five"));
        const QImage image = s.render();
        QVERIFY(rowHasInk(image, 22, 10, 210) || rowHasInk(image, 25, 10, 210)); // starts at the top
        for (int y = 50; y < 120; ++y)
            QVERIFY2(!rowHasInk(image, y, 0, 319), qPrintable(QStringLiteral("ink below the box at row %1").arg(y)));
    }

    void textIsCentredVerticallyWhenItFits()
    {
        Scene s;
        s.text(QRect(10, 10, 200, 100), QStringLiteral("Mid"));
        const QImage image = s.render();
        int first = -1, last = -1;
        for (int y = 10; y < 110; ++y) {
            if (rowHasInk(image, y, 10, 210)) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        QVERIFY(first > 40 && last < 80);
    }

    void mnemonicAndAmpersands()
    {
        // "^a" underlines a; "&&" shows two ampersands: compare with the plain rendering.
        Scene underlined;
        underlined.text(QRect(10, 10, 200, 20), QStringLiteral("^abc"));
        Scene plain;
        plain.text(QRect(10, 10, 200, 20), QStringLiteral("abc"));
        QVERIFY(underlined.render() != plain.render());

        Scene two;
        two.text(QRect(10, 10, 200, 20), QStringLiteral("a&&b"));
        Scene one;
        one.text(QRect(10, 10, 200, 20), QStringLiteral("a&b"));
        auto inkWidth = [](const QImage &image) {
            int right = 0;
            for (int x = 0; x < image.width(); ++x)
                for (int y = 10; y < 30; ++y)
                    if (image.pixel(x, y) != qRgb(255, 255, 255))
                        right = x;
            return right;
        };
        QVERIFY(inkWidth(two.render()) > inkWidth(one.render()));
    }

    void expanderSeesOnlyTextsWithReferences()
    {
        Scene s;
        s.text(QRect(10, 10, 200, 20), QStringLiteral("plain"));
        s.text(QRect(10, 40, 200, 20), QStringLiteral("[Who]"));
        QStringList seen;
        s.options.expand = [&](const QString &t) {
            seen << t;
            return QStringLiteral("X");
        };
        s.render();
        QCOMPARE(seen, QStringList{QStringLiteral("[Who]")});
    }

    void checkBoxDrawsNoOutline()
    {
        Scene s;
        PageObject &c = s.button(QRect(20, 20, 150, 30), CheckBox, QString());
        c.LineWidth = 3;
        c.FillPattern = 0;
        c.FillColor = rgbColor(255, 0, 0);
        const QImage image = s.render();
        QCOMPARE(image.pixel(20, 20), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(160, 25), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(100, 48), qRgb(255, 255, 255));
    }

    void pressedButtonShowsUpImageShifted()
    {
        REQUIRE_THIRD_PARTY_FILES();
        auto renderButton = [](int state) {
            Scene s;
            PageObject &b = s.button(QRect(20, 20, 100, 60), PushButton, QString());
            b.LineWidth = 0; // no bevel: only the image moves
            b.button()->UpImage = QStringLiteral("ico/input.ico");
            b.button()->State = quint8(state);
            s.options.displayMode = 1;
            return s.render();
        };
        const QImage released = renderButton(0);
        const QImage pressed = renderButton(1);
        QVERIFY(released != pressed);
        const QRect image(20 + (100 - 32) / 2, 20 + (60 - 32) / 2, 32, 32);
        QCOMPARE(pressed.copy(image.translated(2, 2)), released.copy(image));
    }

    void hiddenImagesDropScrollBarsAndShowPlaceholder()
    {
        Scene s;
        PageObject &p = s.add(PictureKind, QRect(20, 20, 120, 80));
        p.picture()->FileName = QStringLiteral("bmp/rgb24.bmp");
        p.picture()->WindowFlags = VScrollBarOn | HScrollBarOn;
        s.options.showImages = false;
        const QImage image = s.render();
        // Diagonal from corner to corner through a white interior, no scroll bar grey.
        QCOMPARE(image.pixel(21 + 59, 21 + 39), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(130, 50), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(60, 92), qRgb(255, 255, 255));
        QCOMPARE(ImageCache::instance().count(), 0);
    }

    // A picture, wallpaper or button image that cannot be decoded never stops the page:
    // pictures show the placeholder and the wallpaper leaves the background undrawn.
    void damagedImagesShowPlaceholders()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QTemporaryDir dir;
        QFile source(QDir(testDataDir()).filePath(QStringLiteral("bmp/rgb24.bmp")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QFile cut(QDir(dir.path()).filePath(QStringLiteral("cut.bmp")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(source.read(200));
        cut.close();

        Scene s;
        s.options.baseDir = dir.path();
        s.page->PageStyle = 1;
        s.page->PageWallPaper = QStringLiteral("cut.bmp");
        PageObject &picture = s.add(PictureKind, QRect(20, 20, 100, 60));
        picture.picture()->FileName = QStringLiteral("CUT.BMP");
        PageObject &button = s.button(QRect(150, 20, 100, 60), PushButton, QString());
        button.button()->UpImage = QStringLiteral("cut.bmp");
        button.button()->TransImages = true;
        QImage image(320, 200, QImage::Format_RGB32);
        image.fill(qRgb(255, 0, 255));
        QPainter painter(&image);
        paintPage(painter, s.pub, *s.page, image.rect(), s.options);
        painter.end();
        QCOMPARE(image.pixel(5, 150), qRgb(255, 0, 255)); // background left undrawn
        QCOMPARE(image.pixel(21 + 49, 21 + 29), qRgb(0, 0, 0)); // the placeholder's crossing
        QCOMPARE(image.pixel(60, 30), qRgb(255, 255, 255));
        // The header still tells the size, so the button shows a placeholder that large.
        QCOMPARE(image.pixel(200, 70), qRgb(255, 255, 255));
        QCOMPARE(ImageCache::instance().count(), 0);
    }

    void partialPaintTouchesOnlyClip()
    {
        Scene s;
        s.shape(RectangleKind, QRect(0, 0, 320, 200), rgbColor(0, 0, 255));
        QImage image(320, 200, QImage::Format_RGB32);
        image.fill(qRgb(255, 0, 255));
        QPainter painter(&image);
        const QRect clip(100, 50, 50, 50);
        paintPage(painter, s.pub, *s.page, clip, s.options);
        painter.end();
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                QCOMPARE(image.pixel(x, y) == qRgb(255, 0, 255), !clip.contains(x, y));
    }

    void handlesAndFocusMarkEraseThemselves()
    {
        Scene s;
        PageObject &r = s.shape(RectangleKind, QRect(30, 30, 80, 50), rgbColor(0, 200, 0));
        PageObject &group = s.add(GroupKind, QRect(150, 30, 80, 50));
        const QImage before = s.render();
        QImage image = before;
        QPainter painter(&image);
        paintHandles(painter, r);
        paintHandles(painter, group);
        paintFocusMark(painter, r);
        QVERIFY(image != before);
        // Black handle on a white page: the inverted pixel is black.
        QCOMPARE(image.pixel(30 - 3, 30 - 3), qRgb(0, 0, 0));
        paintHandles(painter, r);
        paintHandles(painter, group);
        paintFocusMark(painter, r);
        painter.end();
        QCOMPARE(image, before);
    }

    void masterObjectsLieBelowAndCanBeHidden()
    {
        Scene s;
        PageObject &m = s.add(RectangleKind, QRect(0, 0, 100, 100), s.pub.masterPage());
        m.FillColor = rgbColor(255, 0, 0);
        s.shape(RectangleKind, QRect(50, 50, 100, 100), rgbColor(0, 0, 255));
        QImage image = s.render();
        QCOMPARE(image.pixel(20, 20), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(70, 70), qRgb(0, 0, 255));
        s.page->ShowMaster = false;
        image = s.render();
        QCOMPARE(image.pixel(20, 20), qRgb(255, 255, 255));
    }

    // With 256 colours every picture of the page shown, the master page's too, is mapped
    // to the palette of the page shown.
    void masterPicturesTakeThePalettePageShown()
    {
        qputenv("VARDEKO_SCREEN_COLORS", "256");
        QTemporaryDir dir;
        QImage grey(40, 40, QImage::Format_RGB32);
        grey.fill(qRgb(100, 100, 100));
        QVERIFY(grey.save(dir.filePath(QStringLiteral("grey.bmp")), "BMP"));
        Scene s;
        s.options.baseDir = dir.path();
        s.pub.Settings.ScreenColors = 256;
        // The master page offers black and white only; the page shown offers the grey too.
        PaletteTable blackAndWhite = defaultPaletteTable();
        for (PaletteEntry &e : blackAndWhite)
            e = (&e - blackAndWhite.data()) % 2 ? PaletteEntry{255, 255, 255, 0} : PaletteEntry{0, 0, 0, 0};
        s.pub.masterPage()->PagePalette = blackAndWhite;
        s.page->PagePalette = blackAndWhite;
        s.page->PagePalette[7] = PaletteEntry{100, 100, 100, 0};
        for (Page *on : {s.pub.masterPage(), s.page}) {
            PageObject &p = s.add(PictureKind, QRect(on == s.page ? 60 : 10, 10, 40, 40), on);
            p.LineWidth = 0;
            p.picture()->FileName = QStringLiteral("grey.bmp");
        }
        const QImage image = s.render();
        qunsetenv("VARDEKO_SCREEN_COLORS");
        QCOMPARE(image.pixel(75, 25), qRgb(100, 100, 100));
        QCOMPARE(image.pixel(25, 25), qRgb(100, 100, 100));
    }

    // Boxes with their corners swapped (from damaged or hand-made files) are drawn
    // where they span, whatever their kind, and stay stored as read.
    void swappedCornersDrawLikeTheirBox_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("origin");
        QTest::newRow("rectangle") << int(RectangleKind) << 0;
        QTest::newRow("rounded rectangle") << int(RectangleKind) << 1;
        QTest::newRow("ellipse") << int(CircleKind) << 0;
        QTest::newRow("text") << int(TextKind) << 0;
        QTest::newRow("picture frame") << int(PictureKind) << 0;
    }

    void swappedCornersDrawLikeTheirBox()
    {
        QFETCH(int, kind);
        QFETCH(int, origin);
        Scene straight;
        PageObject &a = straight.shape(kind, QRect(40, 30, 120, 80), rgbColor(0, 0, 255));
        a.LineOrigin = quint8(origin);
        const QImage expected = straight.render();

        Scene swapped;
        PageObject &b = swapped.shape(kind, QRect(40, 30, 120, 80), rgbColor(0, 0, 255));
        b.LineOrigin = quint8(origin);
        std::swap(b.X1, b.X2);
        std::swap(b.Y1, b.Y2);
        const QImage actual = swapped.render();
        QCOMPARE(b.X1, 160);
        QCOMPARE(actual.pixel(100, 70), expected.pixel(100, 70));
        QVERIFY(expected.pixel(100, 70) != qRgb(255, 255, 255));
        QCOMPARE(actual, expected);
    }

    // Groups as deep as the object limit allows are drawn without running out of stack.
    void deeplyNestedGroupsDraw()
    {
        Scene s;
        ObjectList *into = &s.page->Objects;
        for (int i = 0; i < MaxObjects - 1; ++i) {
            ObjectPtr group = s.pub.createObject(GroupKind);
            group->X2 = 320;
            group->Y2 = 200;
            PageObject *raw = group.get();
            into->push_back(std::move(group));
            into = &raw->Members;
        }
        PageObject &box = s.shape(RectangleKind, QRect(10, 10, 40, 40), rgbColor(255, 0, 0));
        into->push_back(unlinkObject(s.page->Objects, &box));
        const QImage image = s.render();
        QCOMPARE(image.pixel(30, 30), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(100, 100), qRgb(255, 255, 255));
    }

    void scrollBarLayout_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("vPos");
        QTest::addColumn<int>("hPos");
        QTest::addColumn<QRect>("vertical");
        QTest::addColumn<QRect>("horizontal");
        QTest::addColumn<QRect>("view");
        const QRect in(0, 0, 100, 80);
        QTest::newRow("vertical right") << int(VScrollBarOn) << 4 << 1 << QRect(84, 0, 16, 80) << QRect()
                                        << QRect(0, 0, 84, 80);
        QTest::newRow("vertical left") << int(VScrollBarOn) << 1 << 1 << QRect(0, 0, 16, 80) << QRect()
                                       << QRect(16, 0, 84, 80);
        QTest::newRow("horizontal top") << int(HScrollBarOn) << 4 << 8 << QRect() << QRect(0, 0, 100, 16)
                                        << QRect(0, 16, 100, 64);
        QTest::newRow("both, right and bottom") << int(VScrollBarOn | HScrollBarOn) << 4 << 1
                                                << QRect(84, 0, 16, 64) << QRect(0, 64, 84, 16)
                                                << QRect(0, 0, 84, 64);
        QTest::newRow("both, left and top") << int(VScrollBarOn | HScrollBarOn) << 1 << 8
                                            << QRect(0, 16, 16, 64) << QRect(16, 0, 84, 16)
                                            << QRect(16, 16, 84, 64);
    }
    void scrollBarLayout()
    {
        QFETCH(int, flags);
        QFETCH(int, vPos);
        QFETCH(int, hPos);
        QFETCH(QRect, vertical);
        QFETCH(QRect, horizontal);
        QFETCH(QRect, view);
        const ScrollBarLayout bars = layoutScrollBars(QRect(0, 0, 100, 80), quint8(flags), quint8(vPos), quint8(hPos));
        QCOMPARE(bars.vertical, vertical);
        QCOMPARE(bars.horizontal, horizontal);
        QCOMPARE(bars.view, view);
    }

    void pageFrame_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<QColor>("surround");
        QTest::addColumn<bool>("framed");
        QTest::newRow("edit") << 0 << false << QColor(192, 192, 192) << true;
        QTest::newRow("edit, full screen set") << 0 << true << QColor(192, 192, 192) << true;
        QTest::newRow("run") << 1 << false << QColor(192, 192, 192) << false;
        QTest::newRow("run, full screen") << 1 << true << QColor(Qt::black) << false;
    }
    // The frame paints only outside the page: surround, outline and shadow.
    void pageFrame()
    {
        QFETCH(int, mode);
        QFETCH(bool, fullScreen);
        QFETCH(QColor, surround);
        QFETCH(bool, framed);
        QImage window(200, 160, QImage::Format_RGB32);
        window.fill(qRgb(255, 0, 255));
        const QRect page(20, 10, 120, 100);
        QPainter painter(&window);
        paintPageFrame(painter, window.rect(), page, mode, fullScreen);
        painter.end();
        for (int y = page.top(); y <= page.bottom(); ++y)
            for (int x = page.left(); x <= page.right(); ++x)
                QCOMPARE(window.pixel(x, y), qRgb(255, 0, 255));
        QCOMPARE(window.pixelColor(190, 150), surround);
        QCOMPARE(window.pixelColor(page.left() - 1, page.top() + 50), framed ? QColor(Qt::black) : surround);
        QCOMPARE(window.pixelColor(page.right() + 1, page.top() + 50), framed ? QColor(Qt::black) : surround);
        QCOMPARE(window.pixelColor(page.right() + 4, page.top() + 50), framed ? ShadowColor : surround);
        QCOMPARE(window.pixelColor(page.left() + 50, page.bottom() + 4), framed ? ShadowColor : surround);
        // The shadow starts below the page's top edge, as a drop shadow does.
        QCOMPARE(window.pixelColor(page.right() + 4, page.top()), surround);
    }

    void caption_data()
    {
        QTest::addColumn<int>("colors");
        QTest::addColumn<QString>("caption");
        QTest::newRow("16M") << 16777216 << QStringLiteral("Untitled (640x480 16M Colors)");
        QTest::newRow("64K") << 65536 << QStringLiteral("Untitled (640x480 64K Colors)");
        QTest::newRow("32K") << 32768 << QStringLiteral("Untitled (640x480 32K Colors)");
        QTest::newRow("256 as number") << 256 << QStringLiteral("Untitled (640x480 256 Colors)");
    }
    void caption()
    {
        QFETCH(int, colors);
        QFETCH(QString, caption);
        Publication pub;
        pub.Settings.ScreenColors = colors;
        QCOMPARE(publicationCaption(pub, 0), caption);
        pub.Settings.Title = QStringLiteral("Reader's title");
        QCOMPARE(publicationCaption(pub, 1), QStringLiteral("Reader's title"));
    }
};

VARDEKO_REGISTER_TEST(TestPagePainter);

#include "tst_pagepainter.moc"
