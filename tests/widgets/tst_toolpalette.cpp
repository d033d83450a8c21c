// Tests of the Tools palette: tools, attribute boxes, pop-up palettes, folding, drags.
#include "nudgetool.h"
#include "popuppalettes.h"
#include "toolpalette.h"

#include <QApplication>
#include <QCheckBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace vardeko;

Q_DECLARE_METATYPE(vardeko::PaletteAttribute)
Q_DECLARE_METATYPE(vardeko::ToolAttributes)

class TestToolPalette : public QObject
{
    Q_OBJECT

private:
    QToolButton *box(TToolPalette &palette, const char *name)
    {
        auto *b = palette.findChild<QToolButton *>(QLatin1String(name));
        if (!b)
            qWarning("no %s", name);
        return b;
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<PaletteAttribute>();
        qRegisterMetaType<ToolAttributes>();
    }

    void toolButtonsChooseTheirKind_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("tool");
        QTest::newRow("article") << "ArticleTool" << 2;
        QTest::newRow("button") << "ButtonTool" << 3;
        QTest::newRow("picture") << "PictureTool" << 4;
        QTest::newRow("rectangle") << "RectangleTool" << 5;
        QTest::newRow("circle") << "CircleTool" << 6;
        QTest::newRow("line") << "LineTool" << 7;
        QTest::newRow("text") << "TextTool" << 8;
    }

    void toolButtonsChooseTheirKind()
    {
        QFETCH(QString, button);
        QFETCH(int, tool);
        TToolPalette palette;
        palette.show();
        QCOMPARE(palette.currentTool(), 1);
        QSignalSpy spy(&palette, &TToolPalette::toolChanged);
        auto *b = palette.findChild<QToolButton *>(button);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(palette.currentTool(), tool);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), tool);

        // Only one tool is down: the pointer gives way and comes back.
        QTest::mouseClick(palette.findChild<QToolButton *>("PointerTool"), Qt::LeftButton);
        QCOMPARE(palette.currentTool(), 1);
        QVERIFY(!b->isChecked());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), 1);
    }

    void setCurrentToolIgnoresUnknownNumbers()
    {
        TToolPalette palette;
        QSignalSpy spy(&palette, &TToolPalette::toolChanged);
        palette.setCurrentTool(6);
        palette.setCurrentTool(9);
        palette.setCurrentTool(0);
        QCOMPARE(palette.currentTool(), 6);
        QCOMPARE(spy.count(), 1);
        palette.setCurrentTool(6); // no change, no report
        QCOMPARE(spy.count(), 1);
    }

    void colorBoxesPickFromThePopup_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<int>("attribute");
        QTest::newRow("fill colour") << "FillColorBox" << int(PaletteAttribute::FillColor);
        QTest::newRow("line colour") << "LineColorBox" << int(PaletteAttribute::LineColor);
        QTest::newRow("font colour") << "FontColorBox" << int(PaletteAttribute::FontColor);
    }

    void colorBoxesPickFromThePopup()
    {
        QFETCH(QString, boxName);
        QFETCH(int, attribute);
        TToolPalette palette;
        palette.show();
        const ToolAttributes before = palette.attributes();
        QSignalSpy spy(&palette, &TToolPalette::attributeApplied);

        QTest::mouseClick(palette.findChild<QToolButton *>(boxName), Qt::LeftButton);
        TColorPalette *popup = palette.colorPalette();
        QVERIFY(popup->isVisible());
        const ColorRef red = rgbColor(255, 0, 0);
        QToolButton *choice = popup->choiceButton(red);
        QVERIFY(choice);
        QTest::mouseClick(choice, Qt::LeftButton);
        QVERIFY(!popup->isVisible());

        const ToolAttributes after = palette.attributes();
        const auto which = PaletteAttribute(attribute);
        QCOMPARE(after.FillColor, which == PaletteAttribute::FillColor ? red : before.FillColor);
        QCOMPARE(after.LineColor, which == PaletteAttribute::LineColor ? red : before.LineColor);
        QCOMPARE(after.FontColor, which == PaletteAttribute::FontColor ? red : before.FontColor);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<PaletteAttribute>(), which);
        const auto sent = spy.at(0).at(1).value<ToolAttributes>();
        QCOMPARE(sent.FillColor, after.FillColor);
        QCOMPARE(sent.LineColor, after.LineColor);
        QCOMPARE(sent.FontColor, after.FontColor);
    }

    void colorPaletteOffersDistinctColours()
    {
        TColorPalette popup;
        const QList<int> values = popup.values();
        QCOMPARE(values.size(), 48);
        QCOMPARE(QSet<int>(values.begin(), values.end()).size(), 48);
        QVERIFY(values.contains(rgbColor(0, 0, 0)));
        QVERIFY(values.contains(rgbColor(255, 255, 255)));
    }

    void fillPatternAndTransparentCheck()
    {
        TToolPalette palette;
        palette.show();
        QSignalSpy spy(&palette, &TToolPalette::attributeApplied);
        QToolButton *patternBox = box(palette, "FillPatternBox");
        QCOMPARE(patternBox->text(), QString("Solid"));

        QTest::mouseClick(patternBox, Qt::LeftButton);
        TFillPalette *popup = palette.fillPalette();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->values().size(), 49); // Solid, Hollow and the 47 stock patterns
        QTest::mouseClick(popup->choiceButton(17), Qt::LeftButton);
        QCOMPARE(palette.attributes().FillPattern, quint8(17));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<PaletteAttribute>(), PaletteAttribute::FillPattern);
        QVERIFY(patternBox->text().isEmpty());

        auto *check = palette.findChild<QCheckBox *>("TransparentCheck");
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(palette.attributes().FillMode, quint8(1));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).value<PaletteAttribute>(), PaletteAttribute::FillPattern);
        QCOMPARE(spy.at(1).at(1).value<ToolAttributes>().FillPattern, quint8(17));

        QTest::mouseClick(patternBox, Qt::LeftButton);
        QTest::mouseClick(popup->choiceButton(1), Qt::LeftButton);
        QCOMPARE(patternBox->text(), QString("Hollow"));
        QCOMPARE(palette.attributes().FillMode, quint8(1));
    }

    void lineWidthAndStylePopups()
    {
        TToolPalette palette;
        palette.show();
        QSignalSpy spy(&palette, &TToolPalette::attributeApplied);
        QTest::mouseClick(box(palette, "LineWidthBox"), Qt::LeftButton);
        QVERIFY(palette.lineWidthPalette()->isVisible());
        // The open palette marks the current width.
        QVERIFY(palette.lineWidthPalette()->choiceButton(1)->isChecked());
        QTest::mouseClick(palette.lineWidthPalette()->choiceButton(5), Qt::LeftButton);
        QCOMPARE(palette.attributes().LineWidth, 5);

        QTest::mouseClick(box(palette, "LineStyleBox"), Qt::LeftButton);
        QVERIFY(palette.lineStylePalette()->isVisible());
        QCOMPARE(palette.lineStylePalette()->values(), QList<int>({0, 1, 2, 3, 4}));
        QTest::mouseClick(palette.lineStylePalette()->choiceButton(2), Qt::LeftButton);
        QCOMPARE(palette.attributes().LineStyle, quint8(2));
        // The palette keeps its own width; objects get width 1 where the style is applied.
        QCOMPARE(palette.attributes().LineWidth, 5);

        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).value<PaletteAttribute>(), PaletteAttribute::LineWidth);
        QCOMPARE(spy.at(1).at(0).value<PaletteAttribute>(), PaletteAttribute::LineStyle);
    }

    void fontIsAppliedOnlyWhenComplete()
    {
        TToolPalette palette;
        QSignalSpy spy(&palette, &TToolPalette::attributeApplied);
        palette.applyFont(QString(), 12, 0);
        palette.applyFont("Liberation Serif", 0, 0);
        QCOMPARE(spy.count(), 0);
        palette.applyFont("Liberation Serif", 14, FontBold | FontItalic | 0x80);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<PaletteAttribute>(), PaletteAttribute::Font);
        const ToolAttributes a = palette.attributes();
        QCOMPARE(a.Font, QString("Liberation Serif"));
        QCOMPARE(a.FontSize, 14);
        QCOMPARE(a.FontStyle, quint8(FontBold | FontItalic));
        QCOMPARE(box(palette, "FontBox")->text(), QString("Liberation Serif 14"));
    }

    void setAttributesShowsWithoutApplying()
    {
        TToolPalette palette;
        QSignalSpy spy(&palette, &TToolPalette::attributeApplied);
        ToolAttributes a;
        a.FillPattern = 1;
        a.FillMode = 1;
        a.LineWidth = 3;
        palette.setAttributes(a);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(palette.attributes().LineWidth, 3);
        QVERIFY(palette.findChild<QCheckBox *>("TransparentCheck")->isChecked());
        QCOMPARE(box(palette, "FillPatternBox")->text(), QString("Hollow"));
    }

    void foldingAndPosition()
    {
        TToolPalette palette;
        palette.show();
        QWidget *fillBox = box(palette, "FillColorBox");
        QWidget *pointer = box(palette, "PointerTool");
        QVERIFY(fillBox->isVisible());

        QTest::mouseClick(box(palette, "ExpandBtn"), Qt::LeftButton);
        QVERIFY(!palette.isExpanded());
        QVERIFY(!fillBox->isVisible());
        QVERIFY(pointer->isVisible());

        QTest::mouseClick(box(palette, "RollUpBtn"), Qt::LeftButton);
        QVERIFY(palette.isRolledUp());
        QVERIFY(!pointer->isVisible());

        ToolPaletteState state = palette.state();
        QVERIFY(!state.expanded);
        QVERIFY(state.rolledUp);

        TToolPalette other;
        other.restoreState({QPoint(40, 50), true, false});
        other.show();
        QCOMPARE(other.state().pos, QPoint(40, 50));
        QVERIFY(box(other, "FillColorBox")->isVisible());
        other.restoreState(state);
        QVERIFY(!box(other, "PointerTool")->isVisible());
    }

    void nudgeToolSteps_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::newRow("up") << "UpBtn" << 0 << -1;
        QTest::newRow("down") << "DownBtn" << 0 << 1;
        QTest::newRow("left") << "LeftBtn" << -1 << 0;
        QTest::newRow("right") << "RightBtn" << 1 << 0;
    }

    void nudgeToolSteps()
    {
        QFETCH(QString, button);
        QFETCH(int, dx);
        QFETCH(int, dy);
        TToolPalette palette;
        palette.show();
        QSignalSpy spy(&palette, &TToolPalette::nudged);
        auto *nudge = palette.findChild<NudgeTool *>("NudgeTool");
        QVERIFY(nudge);
        QTest::mouseClick(nudge->findChild<QToolButton *>(button), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), dx);
        QCOMPARE(spy.at(0).at(1).toInt(), dy);
    }

    void attributeDragDataRoundTrips()
    {
        ToolAttributes a;
        a.FillColor = rgbColor(1, 2, 3);
        a.FillPattern = 30;
        a.FillMode = 1;
        a.LineColor = rgbColor(4, 5, 6);
        a.LineWidth = 7;
        a.LineStyle = 3;
        a.Font = "Liberation Sans";
        a.FontSize = 22;
        a.FontStyle = FontUnderline;
        a.FontColor = rgbColor(9, 8, 7);
        std::unique_ptr<QMimeData> data(attributeMimeData(PaletteAttribute::LineStyle, a));
        PaletteAttribute which = PaletteAttribute::FillColor;
        ToolAttributes read;
        QVERIFY(readAttributeMimeData(data.get(), &which, &read));
        QCOMPARE(which, PaletteAttribute::LineStyle);
        QCOMPARE(read.FillColor, a.FillColor);
        QCOMPARE(read.FillPattern, a.FillPattern);
        QCOMPARE(read.FillMode, a.FillMode);
        QCOMPARE(read.LineColor, a.LineColor);
        QCOMPARE(read.LineWidth, a.LineWidth);
        QCOMPARE(read.LineStyle, a.LineStyle);
        QCOMPARE(read.Font, a.Font);
        QCOMPARE(read.FontSize, a.FontSize);
        QCOMPARE(read.FontStyle, a.FontStyle);
        QCOMPARE(read.FontColor, a.FontColor);
    }

    void foreignDragDataIsRefused()
    {
        PaletteAttribute which = PaletteAttribute::FillColor;
        ToolAttributes read;
        read.LineWidth = 42;
        QMimeData text;
        text.setText("FillColor");
        QVERIFY(!readAttributeMimeData(&text, &which, &read));
        QVERIFY(!readAttributeMimeData(nullptr, &which, &read));
        QMimeData truncated;
        truncated.setData(AttributeMimeType, QByteArray("\0\0\0\1\0", 5));
        QVERIFY(!readAttributeMimeData(&truncated, &which, &read));
        QCOMPARE(read.LineWidth, 42);
    }
};

QTEST_MAIN(TestToolPalette)
#include "tst_toolpalette.moc"
