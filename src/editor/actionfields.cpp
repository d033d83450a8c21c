// The panels of the parameter dialog: each shows one or a few parameters of a line.
#include "actionfields.h"

#include "actioneditor.h"
#include "actiontexts.h"
#include "dialoghost.h"
#include "publication.h"
#include "scriptvalues.h"
#include "stringcommands.h"
#include "transition.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

namespace vardeko {

using namespace ActionText;

const OperatorEntry OperatorEntries[6] = {
        {"Equal To (=)", "="},
        {"Not Equal To (<>)", "<>"},
        {"Less Than (<)", "<"},
        {"Greater Than (>)", ">"},
        {"Less Than or Equal To (<=)", "<="},
        {"Greater Than or Equal To (>=)", ">="},
};

QString playModeWord(int mode)
{
    static const char *const words[] = {"NORMAL", "WAIT", "LOOP"};
    return QLatin1String(words[qBound(0, mode, 2)]);
}

namespace {

QString param(const QStringList &p, int i)
{
    return i >= 0 && i < p.size() ? p.at(i) : QString();
}

void setParam(QStringList &p, int i, const QString &value)
{
    if (i >= 0 && i < p.size())
        p[i] = value;
}

bool isPlainInteger(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*[-+]?\\s*\\d+\\s*$"));
    return re.match(text).hasMatch();
}

QWidget *promptedRow(const QString &prompt, QWidget *field, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(prompt, row);
    label->setBuddy(field);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(field);
    return row;
}

class TextField : public ActionField
{
public:
    TextField(const QString &prompt, int index, QWidget *parent)
        : ActionField(Text), mIndex(index)
    {
        mEdit = new QLineEdit(parent);
        mEdit->setObjectName(QStringLiteral("Edit%1").arg(index + 1));
        mRow = promptedRow(prompt, mEdit, parent);
    }
    QWidget *widget() const override { return mRow; }
    void load(const QStringList &p) override { mEdit->setText(param(p, mIndex)); }
    void store(QStringList &p) const override { setParam(p, mIndex, mEdit->text()); }

private:
    int mIndex;
    QLineEdit *mEdit;
    QWidget *mRow;
};

DialogFolder folderOf(FileKind kind)
{
    switch (kind) {
    case FileKind::Programs: return DialogFolder::Programs;
    case FileKind::Images: return DialogFolder::Images;
    case FileKind::Animations: return DialogFolder::Animations;
    case FileKind::Sounds: return DialogFolder::Sounds;
    case FileKind::Texts: return DialogFolder::Articles;
    case FileKind::None: break;
    }
    return DialogFolder::Scripts;
}

class FileField : public ActionField
{
public:
    FileField(const QString &prompt, int index, int command, QWidget *parent)
        : ActionField(File), mIndex(index), mCommand(command)
    {
        mRow = new QWidget(parent);
        auto *layout = new QVBoxLayout(mRow);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *label = new QLabel(prompt, mRow);
        mEdit = new QLineEdit(mRow);
        mEdit->setObjectName(QStringLiteral("File%1").arg(index + 1));
        label->setBuddy(mEdit);
        auto *browse = new QPushButton(QString(Browse), mRow);
        browse->setAutoDefault(false);
        auto *line = new QHBoxLayout;
        line->addWidget(mEdit, 1);
        line->addWidget(browse);
        layout->addWidget(label);
        layout->addLayout(line);
        QObject::connect(browse, &QPushButton::clicked, mRow, [this] { this->browse(); });
    }
    QWidget *widget() const override { return mRow; }
    void load(const QStringList &p) override { mEdit->setText(param(p, mIndex)); }
    void store(QStringList &p) const override { setParam(p, mIndex, mEdit->text()); }
    QString text() const { return mEdit->text(); }

private:
    void browse()
    {
        const ScriptCommand &c = scriptCommand(mCommand);
        // Only the command's own file parameter has a kind; data files take any file.
        const bool own = c.File.kind != FileKind::None && c.File.Param == mIndex + 1;
        const QString title = own ? QString::fromLatin1(c.File.Title) : QString(SelectFile);
        const QString filter = own ? QString::fromLatin1(c.File.Filter) : QString(AnyFileFilter);
        DialogHost &host = dialogHost();
        const DialogFolder folder = own ? folderOf(c.File.kind) : DialogFolder::Scripts;
        QString start = host.folder(folder);
        if (!mEdit->text().isEmpty() && QFileInfo(mEdit->text()).isAbsolute())
            start = QFileInfo(mEdit->text()).absolutePath();
        const QString chosen = host.openFileName(mRow, title, start, filter);
        if (chosen.isEmpty())
            return;
        host.setFolder(folder, QFileInfo(chosen).absolutePath());
        mEdit->setText(chosen);
    }

    int mIndex;
    int mCommand;
    QLineEdit *mEdit;
    QWidget *mRow;
};

class MemoField : public ActionField
{
public:
    MemoField(const QString &prompt, int index, QWidget *parent)
        : ActionField(Memo), mIndex(index)
    {
        mMemo = new QPlainTextEdit(parent);
        mMemo->setObjectName(QStringLiteral("Memo%1").arg(index + 1));
        mMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
        mMemo->setTabChangesFocus(true);
        mMemo->setFixedHeight(72);
        mRow = promptedRow(prompt, mMemo, parent);
    }
    QWidget *widget() const override { return mRow; }
    // Inside a parameter every "|" separates rows: quotes cannot stand in a parameter.
    void load(const QStringList &p) override { mMemo->setPlainText(param(p, mIndex).replace(u'|', u'\n')); }
    void store(QStringList &p) const override
    {
        QStringList rows = mMemo->toPlainText().split(u'\n');
        if (rows.size() > 1 && rows.last().isEmpty())
            rows.removeLast();
        setParam(p, mIndex, rows.join(u'|'));
    }
    QStringList rows() const
    {
        QStringList p{QString()};
        store(p);
        return p.first().isEmpty() ? QStringList() : p.first().split(u'|');
    }

private:
    int mIndex;
    QPlainTextEdit *mMemo;
    QWidget *mRow;
};

// A list of entries, each writing its own value; a value none of them writes is added
// as an entry of its own so it survives OK.
class ChoiceField : public ActionField
{
public:
    using Matcher = std::function<int(const QString &)>; // entry for a value, or -1

    ChoiceField(const QString &prompt, int index, bool editable, QWidget *parent)
        : ActionField(Choice), mIndex(index)
    {
        mCombo = new QComboBox(parent);
        mCombo->setObjectName(QStringLiteral("List1"));
        mCombo->setEditable(editable);
        mRow = prompt.isEmpty() ? static_cast<QWidget *>(mCombo) : promptedRow(prompt, mCombo, parent);
    }
    void addEntry(const QString &text, const QString &value) { mCombo->addItem(text, value); }
    void setMatcher(Matcher m) { mMatcher = std::move(m); }
    QComboBox *combo() const { return mCombo; }
    QWidget *widget() const override { return mRow; }
    void load(const QStringList &p) override
    {
        const QString v = param(p, mIndex);
        int i = mMatcher ? mMatcher(v) : mCombo->findData(v, Qt::UserRole, Qt::MatchFixedString);
        if (i < 0 && v.isEmpty() && !mCombo->isEditable() && mCombo->count() > 0)
            i = 0; // a new line starts with the first entry
        if (mCombo->isEditable() && i < 0) {
            mCombo->setCurrentIndex(-1);
            mCombo->setEditText(v);
            return;
        }
        if (i < 0) {
            mCombo->addItem(v, v);
            i = mCombo->count() - 1;
        }
        mCombo->setCurrentIndex(i);
    }
    void store(QStringList &p) const override
    {
        if (mCombo->isEditable()) {
            const int i = mCombo->findText(mCombo->currentText(), Qt::MatchExactly);
            setParam(p, mIndex, i >= 0 ? mCombo->itemData(i).toString() : mCombo->currentText());
            return;
        }
        setParam(p, mIndex, mCombo->currentData().toString());
    }

private:
    int mIndex;
    QComboBox *mCombo;
    QWidget *mRow;
    Matcher mMatcher;
};

class NumberField : public ActionField
{
public:
    NumberField(const QString &prompt, int index, QWidget *parent, const QString &check = QString(),
                const QString &checkedValue = QString())
        : ActionField(Number), mIndex(index)
    {
        mNumber = new NumberEdit(check, checkedValue, parent);
        mNumber->edit()->setObjectName(QStringLiteral("Spin%1").arg(index + 1));
        mRow = promptedRow(prompt, mNumber, parent);
    }
    QWidget *widget() const override { return mRow; }
    NumberEdit *number() const { return mNumber; }
    void load(const QStringList &p) override { mNumber->setValue(param(p, mIndex)); }
    void store(QStringList &p) const override { setParam(p, mIndex, mNumber->value()); }

private:
    int mIndex;
    NumberEdit *mNumber;
    QWidget *mRow;
};

class PlayModeField : public ActionField
{
public:
    PlayModeField(int index, QWidget *parent) : ActionField(PlayMode), mIndex(index)
    {
        mBox = new QGroupBox(QString(Options), parent);
        mBox->setObjectName(QStringLiteral("PlayModeGroup"));
        auto *layout = new QVBoxLayout(mBox);
        mGroup = new QButtonGroup(mBox);
        const QLatin1String captions[] = {PlayNormal, PlayWait, PlayLoop};
        for (int i = 0; i < 3; ++i) {
            auto *b = new QRadioButton(QString(captions[i]), mBox);
            mGroup->addButton(b, i);
            layout->addWidget(b);
        }
        mKept = new QRadioButton(mBox);
        mKept->setObjectName(QStringLiteral("KeptValue"));
        mGroup->addButton(mKept, 3);
        layout->addWidget(mKept);
        mKept->hide();
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        const QString v = param(p, mIndex);
        mKeptValue.clear();
        mKept->hide();
        if (v.contains(u'[')) {
            // The mode comes from a variable: show it as a choice of its own.
            mKeptValue = v;
            mKept->setText(v);
            mKept->show();
            mKept->setChecked(true);
            return;
        }
        mGroup->button(playMode(v))->setChecked(true);
    }
    void store(QStringList &p) const override
    {
        const int id = mGroup->checkedId();
        setParam(p, mIndex, id == 3 ? mKeptValue : playModeWord(qMax(0, id)));
    }

private:
    int mIndex;
    QGroupBox *mBox;
    QButtonGroup *mGroup;
    QRadioButton *mKept;
    QString mKeptValue;
};

// Two numbers with their check boxes ("Center" or "Auto" writing -1) and the position
// button.
class PairField : public PositionField
{
public:
    PairField(Kind kind, int first, int second, QWidget *parent, const std::function<void()> &position)
        : PositionField(kind), mFirst(first), mSecond(second)
    {
        const bool location = kind == Location;
        mBox = new QGroupBox(QString(location ? ScreenLocation : ImageSize), parent);
        mBox->setObjectName(QString::fromLatin1(location ? "LocationGroup" : "SizeGroup"));
        auto *grid = new QGridLayout(mBox);
        const QString check(location ? Center : Auto);
        mA = new NumberEdit(check, QStringLiteral("-1"), mBox);
        mB = new NumberEdit(check, QStringLiteral("-1"), mBox);
        mA->edit()->setObjectName(QString::fromLatin1(location ? "LeftEdit" : "WidthEdit"));
        mB->edit()->setObjectName(QString::fromLatin1(location ? "TopEdit" : "HeightEdit"));
        grid->addWidget(new QLabel(QString(location ? Left : Width), mBox), 0, 0);
        grid->addWidget(mA, 0, 1);
        grid->addWidget(new QLabel(QString(location ? Top : Height), mBox), 1, 0);
        grid->addWidget(mB, 1, 1);
        if (position) {
            auto *b = new QPushButton(QString(Position), mBox);
            b->setObjectName(QString::fromLatin1(location ? "PositionBtn" : "SizePositionBtn"));
            b->setAutoDefault(false);
            grid->addWidget(b, 0, 2, 2, 1);
            QObject::connect(b, &QPushButton::clicked, mBox, position);
        }
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        mA->setValue(param(p, mFirst));
        mB->setValue(param(p, mSecond));
    }
    void store(QStringList &p) const override
    {
        setParam(p, mFirst, mA->value());
        setParam(p, mSecond, mB->value());
    }
    PositionValues position() const override
    {
        return kind() == Location ? PositionValues{mA->value(), mB->value(), {}, {}}
                                  : PositionValues{{}, {}, mA->value(), mB->value()};
    }
    void setPosition(const PositionValues &v) override
    {
        mA->setValue(kind() == Location ? v.x : v.w);
        mB->setValue(kind() == Location ? v.y : v.h);
    }

private:
    int mFirst, mSecond;
    QGroupBox *mBox;
    NumberEdit *mA, *mB;
};

class DisplayTimeField : public ActionField
{
public:
    DisplayTimeField(int index, QWidget *parent) : ActionField(DisplayTime), mIndex(index)
    {
        mBox = new QGroupBox(QString(DisplayHowLong), parent);
        auto *layout = new QHBoxLayout(mBox);
        auto *label = new QLabel(QString(Milliseconds), mBox);
        layout->addWidget(label);
        mTime = new NumberEdit(QString(UntilClick), QStringLiteral("0"), mBox);
        label->setBuddy(mTime->edit());
        mTime->edit()->setObjectName(QStringLiteral("TimeEdit"));
        layout->addWidget(mTime, 1);
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override { mTime->setValue(param(p, mIndex)); }
    void store(QStringList &p) const override { setParam(p, mIndex, mTime->value()); }

private:
    int mIndex;
    QGroupBox *mBox;
    NumberEdit *mTime;
};

// A slider between two captions that keeps a value it cannot show until moved.
class KeptSlider : public QWidget
{
public:
    KeptSlider(const QString &prompt, QLatin1String low, QLatin1String high, int min, int max, QWidget *parent)
        : QWidget(parent)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        if (!prompt.isEmpty())
            layout->addWidget(new QLabel(prompt, this));
        layout->addWidget(new QLabel(QString(low), this));
        mSlider = new QSlider(Qt::Horizontal, this);
        mSlider->setRange(min, max);
        layout->addWidget(mSlider, 1);
        layout->addWidget(new QLabel(QString(high), this));
        mKeptLabel = new QLabel(this);
        layout->addWidget(mKeptLabel);
        QObject::connect(mSlider, &QSlider::valueChanged, this, [this] {
            if (!mLoading) {
                mKept.clear();
                mKeptLabel->clear();
            }
        });
    }
    void setValue(const QString &v)
    {
        mLoading = true;
        if (isPlainInteger(v) || v.trimmed().isEmpty()) {
            mKept.clear();
            mKeptLabel->clear();
            mSlider->setValue(integerValue(v));
        } else {
            mKept = v;
            mKeptLabel->setText(v);
        }
        mLoading = false;
    }
    QString value() const { return mKept.isEmpty() ? QString::number(mSlider->value()) : mKept; }
    QSlider *slider() const { return mSlider; }

private:
    QSlider *mSlider;
    QLabel *mKeptLabel;
    QString mKept;
    bool mLoading = false;
};

class EffectField : public ActionField
{
public:
    EffectField(int effect, int speed, QWidget *parent) : ActionField(Effect), mEffect(effect), mSpeed(speed)
    {
        mBox = new QWidget(parent);
        auto *layout = new QVBoxLayout(mBox);
        layout->setContentsMargins(0, 0, 0, 0);
        mListOwner = std::make_unique<ChoiceField>(QString(DisplayEffect), effect, false, mBox);
        mList = mListOwner.get();
        for (int i = 0; i <= int(LastEffect); ++i)
            mList->addEntry(effectName(i), effectName(i));
        mList->setMatcher([](const QString &v) {
            if (v.contains(u'['))
                return -1;
            return effectByName(v);
        });
        mList->combo()->setObjectName(QStringLiteral("EffectList"));
        layout->addWidget(mList->widget());
        mSlider = new KeptSlider(QString(Speed), Fast, Slow, 0, 10, mBox);
        mSlider->slider()->setObjectName(QStringLiteral("SpeedBar"));
        layout->addWidget(mSlider);
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        mList->load(p);
        mSlider->setValue(param(p, mSpeed));
    }
    void store(QStringList &p) const override
    {
        mList->store(p);
        setParam(p, mSpeed, mSlider->value());
    }

private:
    int mEffect, mSpeed;
    QWidget *mBox;
    std::unique_ptr<ChoiceField> mListOwner;
    ChoiceField *mList;
    KeptSlider *mSlider;
};

class FontField : public ActionField
{
public:
    explicit FontField(QWidget *parent) : ActionField(Font)
    {
        mBox = new QWidget(parent);
        auto *layout = new QHBoxLayout(mBox);
        mSample = new QLabel(QString(FontSample), mBox);
        mSample->setObjectName(QStringLiteral("FontSample"));
        mSample->setMinimumHeight(48);
        auto *change = new QPushButton(QString(ChangeFont), mBox);
        change->setObjectName(QStringLiteral("FontBtn"));
        change->setAutoDefault(false);
        layout->addWidget(mSample, 1);
        layout->addWidget(change);
        QObject::connect(change, &QPushButton::clicked, mBox, [this] { choose(); });
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        mValues = p.mid(0, 3);
        while (mValues.size() < 3)
            mValues.append(QString());
        showSample();
    }
    void store(QStringList &p) const override
    {
        for (int i = 0; i < 3; ++i)
            setParam(p, i, mValues.at(i));
    }

private:
    QFont font() const
    {
        QFont f(mValues.at(0));
        const int points = integerValue(mValues.at(1));
        if (points > 0)
            f.setPointSize(points);
        const int style = fontStyle(mValues.at(2));
        f.setBold(style & 1);
        f.setItalic(style & 2);
        f.setUnderline(style & 4);
        f.setStrikeOut(style & 8);
        return f;
    }
    void showSample() { mSample->setFont(font()); }
    void choose()
    {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, font(), mBox);
        if (!ok)
            return;
        mValues = fontParameters(f.family(), f.pointSize(), f.bold(), f.italic(), f.underline(),
                                 f.strikeOut());
        showSample();
    }

    QWidget *mBox;
    QLabel *mSample;
    QStringList mValues;
};

class FindField : public ActionField
{
public:
    FindField(const Publication *pub, QWidget *parent) : ActionField(Find)
    {
        mBox = new QWidget(parent);
        auto *grid = new QGridLayout(mBox);
        mAvailable = new QListWidget(mBox);
        mAvailable->setObjectName(QStringLiteral("AvailableList"));
        mSearch = new QListWidget(mBox);
        mSearch->setObjectName(QStringLiteral("SearchList"));
        if (pub) {
            for (int i = 0; i < pub->pageCount(); ++i)
                mAvailable->addItem(pub->page(i)->Title);
        }
        auto *add = new QPushButton(QString(AddPage), mBox);
        auto *remove = new QPushButton(QString(RemovePage), mBox);
        add->setAutoDefault(false);
        remove->setAutoDefault(false);
        auto *label1 = new QLabel(QString(AvailablePages), mBox);
        label1->setBuddy(mAvailable);
        auto *label2 = new QLabel(QString(PagesToSearch), mBox);
        label2->setBuddy(mSearch);
        grid->addWidget(label1, 0, 0);
        grid->addWidget(label2, 0, 2);
        grid->addWidget(mAvailable, 1, 0, 2, 1);
        grid->addWidget(add, 1, 1);
        grid->addWidget(remove, 2, 1);
        grid->addWidget(mSearch, 1, 2, 2, 1);
        mAll = new QCheckBox(QString(SearchAll), mBox);
        mAll->setObjectName(QStringLiteral("AllPagesBtn"));
        mCurrent = new QCheckBox(QString(SearchCurrent), mBox);
        mCurrent->setObjectName(QStringLiteral("CurrentPageBtn"));
        grid->addWidget(mAll, 3, 0, 1, 3);
        grid->addWidget(mCurrent, 4, 0, 1, 3);
        auto *note = new QLabel(QString(FindNote), mBox);
        note->setWordWrap(true);
        grid->addWidget(note, 5, 0, 1, 3);
        QObject::connect(add, &QPushButton::clicked, mBox, [this] {
            for (QListWidgetItem *item : mAvailable->selectedItems())
                mSearch->addItem(item->text());
            update();
        });
        QObject::connect(remove, &QPushButton::clicked, mBox, [this] {
            qDeleteAll(mSearch->selectedItems());
            update();
        });
        QObject::connect(mAll, &QCheckBox::toggled, mBox, [this](bool on) {
            if (on)
                mCurrent->setChecked(false);
            update();
        });
        QObject::connect(mCurrent, &QCheckBox::toggled, mBox, [this](bool on) {
            if (on)
                mAll->setChecked(false);
            update();
        });
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        const QString v = param(p, 0);
        mSearch->clear();
        mAll->setChecked(false);
        mCurrent->setChecked(false);
        if (v.trimmed().compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0)
            mAll->setChecked(true);
        else if (v.trimmed().isEmpty() || v.trimmed().compare(QLatin1String("CURRENT"), Qt::CaseInsensitive) == 0)
            mCurrent->setChecked(true);
        else
            mSearch->addItems(v.split(u'|'));
        update();
    }
    void store(QStringList &p) const override
    {
        if (mAll->isChecked()) {
            setParam(p, 0, QStringLiteral("ALL"));
        } else if (mCurrent->isChecked()) {
            setParam(p, 0, QStringLiteral("CURRENT"));
        } else {
            QStringList pages;
            for (int i = 0; i < mSearch->count(); ++i)
                pages.append(mSearch->item(i)->text());
            setParam(p, 0, pages.join(u'|'));
        }
    }

private:
    void update()
    {
        const bool listed = !mAll->isChecked() && !mCurrent->isChecked();
        mAvailable->setEnabled(listed);
        mSearch->setEnabled(listed);
    }

    QWidget *mBox;
    QListWidget *mAvailable;
    QListWidget *mSearch;
    QCheckBox *mAll;
    QCheckBox *mCurrent;
};

class CartoonGroup : public CartoonField
{
public:
    CartoonGroup(QWidget *parent, const std::function<void()> &position) : CartoonField(Cartoon)
    {
        mBox = new QWidget(parent);
        auto *grid = new QGridLayout(mBox);
        auto *start = new QGroupBox(QString(StartingLocation), mBox);
        auto *end = new QGroupBox(QString(EndingLocation), mBox);
        for (int i = 0; i < 4; ++i) {
            mEdits[i] = new NumberEdit(QString(), QString(), i < 2 ? start : end);
            static const char *const names[] = {"StartXEdit", "StartYEdit", "EndXEdit", "EndYEdit"};
            mEdits[i]->edit()->setObjectName(QString::fromLatin1(names[i]));
        }
        for (QGroupBox *g : {start, end}) {
            auto *gl = new QGridLayout(g);
            const int base = g == start ? 0 : 2;
            gl->addWidget(new QLabel(QString(X), g), 0, 0);
            gl->addWidget(mEdits[base], 0, 1);
            gl->addWidget(new QLabel(QString(Y), g), 1, 0);
            gl->addWidget(mEdits[base + 1], 1, 1);
        }
        grid->addWidget(start, 0, 0);
        grid->addWidget(end, 0, 1);
        if (position) {
            auto *b = new QPushButton(QString(Position), mBox);
            b->setObjectName(QStringLiteral("PositionBtn"));
            b->setAutoDefault(false);
            grid->addWidget(b, 0, 2);
            QObject::connect(b, &QPushButton::clicked, mBox, position);
        }
        auto *repeatRow = new QHBoxLayout;
        auto *repeatLabel = new QLabel(QString(RepeatSequence), mBox);
        mRepeat = new NumberEdit(QString(), QString(), mBox);
        mRepeat->edit()->setObjectName(QStringLiteral("RepeatEdit"));
        repeatLabel->setBuddy(mRepeat->edit());
        repeatRow->addWidget(repeatLabel);
        repeatRow->addWidget(mRepeat);
        repeatRow->addWidget(new QLabel(QString(TimesStartToEnd), mBox));
        grid->addLayout(repeatRow, 1, 0, 1, 3);
        mSpeed = new KeptSlider(QString(Speed), Fast, Slow, 0, 1000, mBox);
        mSpeed->slider()->setObjectName(QStringLiteral("CartoonSpeed"));
        grid->addWidget(mSpeed, 2, 0, 1, 3);
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        for (int i = 0; i < 4; ++i)
            mEdits[i]->setValue(param(p, i));
        mRepeat->setValue(param(p, 5));
        mSpeed->setValue(param(p, 6));
    }
    void store(QStringList &p) const override
    {
        for (int i = 0; i < 4; ++i)
            setParam(p, i, mEdits[i]->value());
        setParam(p, 5, mRepeat->value());
        setParam(p, 6, mSpeed->value());
    }
    PositionValues position() const override
    {
        return {mEdits[0]->value(), mEdits[1]->value(), mEdits[2]->value(), mEdits[3]->value()};
    }
    void setPosition(const PositionValues &v) override
    {
        mEdits[0]->setValue(v.x);
        mEdits[1]->setValue(v.y);
        mEdits[2]->setValue(v.w);
        mEdits[3]->setValue(v.h);
    }
    QString repeat() const override { return mRepeat->value(); }
    QString speed() const override { return mSpeed->value(); }
    void setRepeatAndSpeed(const QString &repeat, const QString &speed) override
    {
        mRepeat->setValue(repeat);
        mSpeed->setValue(speed);
    }

private:
    QWidget *mBox;
    NumberEdit *mEdits[4];
    NumberEdit *mRepeat;
    KeptSlider *mSpeed;
};

class ToneField : public ActionField
{
public:
    ToneField(QWidget *parent) : ActionField(Tone)
    {
        mBox = new QWidget(parent);
        auto *layout = new QVBoxLayout(mBox);
        layout->setContentsMargins(0, 0, 0, 0);
        mNumber = new NumberField(QStringLiteral("Tone &Frequency (Hertz):"), 0, mBox);
        layout->addWidget(mNumber->widget());
        mSlider = new KeptSlider(QString(), Low, High, 37, 5000, mBox);
        mSlider->slider()->setObjectName(QStringLiteral("ToneBar"));
        layout->addWidget(mSlider);
        // The slider follows the number field and sets it.
        QObject::connect(mSlider->slider(), &QSlider::sliderMoved, mBox, [this](int v) {
            mNumber->number()->setValue(QString::number(v));
        });
        QObject::connect(mNumber->number()->edit(), &QLineEdit::textEdited, mBox,
                         [this](const QString &t) { mSlider->setValue(t); });
    }
    QWidget *widget() const override { return mBox; }
    void load(const QStringList &p) override
    {
        mNumber->load(p);
        mSlider->setValue(param(p, 0));
    }
    void store(QStringList &p) const override { mNumber->store(p); }

private:
    QWidget *mBox;
    NumberField *mNumber;
    KeptSlider *mSlider;
};

class NoteField : public ActionField
{
public:
    NoteField(const QString &text, QWidget *parent) : ActionField(Note)
    {
        mLabel = new QLabel(text, parent);
        mLabel->setWordWrap(true);
        mLabel->setFrameShape(QFrame::StyledPanel);
    }
    QWidget *widget() const override { return mLabel; }
    void load(const QStringList &) override {}
    void store(QStringList &) const override {}

private:
    QLabel *mLabel;
};

} // namespace

NumberEdit::NumberEdit(const QString &check, const QString &checkedValue, QWidget *parent)
    : QWidget(parent), mCheckedValue(checkedValue)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mEdit = new QLineEdit(this);
    // Digits with a sign, or a variable reference such as "[Left]".
    mEdit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\s*[-+]?\\s*\\d*\\s*|.*\\[.*")), mEdit));
    mEdit->setMaximumWidth(120);
    layout->addWidget(mEdit);
    if (!check.isEmpty()) {
        mCheck = new QCheckBox(check, this);
        layout->addWidget(mCheck);
        connect(mCheck, &QCheckBox::toggled, mEdit, [this](bool on) { mEdit->setEnabled(!on); });
    }
    layout->addStretch();
}

void NumberEdit::setValue(const QString &value)
{
    const bool checked = mCheck && !mCheckedValue.isEmpty()
                         && value.trimmed().compare(mCheckedValue, Qt::CaseInsensitive) == 0;
    if (mCheck)
        mCheck->setChecked(checked);
    mEdit->setText(checked ? QString() : value);
}

QString NumberEdit::value() const
{
    if (mCheck && mCheck->isChecked())
        return mCheckedValue;
    return mEdit->text();
}

ActionField *findField(const std::vector<std::unique_ptr<ActionField>> &fields, ActionField::Kind kind)
{
    for (const auto &f : fields) {
        if (f->kind() == kind)
            return f.get();
    }
    return nullptr;
}

std::vector<std::unique_ptr<ActionField>> makeActionFields(int command, const ActionContext &context,
                                                           QWidget *parent,
                                                           const std::function<void()> &position)
{
    std::vector<std::unique_ptr<ActionField>> f;
    auto text = [&](const char *prompt, int i) { f.push_back(std::make_unique<TextField>(QString::fromLatin1(prompt), i, parent)); };
    auto file = [&](const char *prompt, int i) { f.push_back(std::make_unique<FileField>(QString::fromLatin1(prompt), i, command, parent)); };
    auto memo = [&](const char *prompt, int i) { f.push_back(std::make_unique<MemoField>(QString::fromLatin1(prompt), i, parent)); };
    auto number = [&](const char *prompt, int i) { f.push_back(std::make_unique<NumberField>(QString::fromLatin1(prompt), i, parent)); };
    auto location = [&](int x, int y) { f.push_back(std::make_unique<PairField>(ActionField::Location, x, y, parent, position)); };
    auto size = [&](int w, int h) { f.push_back(std::make_unique<PairField>(ActionField::Size, w, h, parent, std::function<void()>())); };
    auto playMode = [&](int i) { f.push_back(std::make_unique<PlayModeField>(i, parent)); };
    auto displayTime = [&](int i) { f.push_back(std::make_unique<DisplayTimeField>(i, parent)); };
    auto note = [&](QLatin1String t) { f.push_back(std::make_unique<NoteField>(QString(t), parent)); };
    auto operators = [&](int i) {
        auto c = std::make_unique<ChoiceField>(QStringLiteral("I&s (comparatively):"), i, false, parent);
        for (const OperatorEntry &e : OperatorEntries)
            c->addEntry(QLatin1String(e.text), QLatin1String(e.op));
        c->setMatcher([](const QString &v) {
            // The operator the line means, as If and While read it; a reference stays.
            if (v.contains(u'['))
                return -1;
            const ConditionOp op = conditionOperator(v);
            return op == ConditionOp::None ? -1 : int(op) - 1;
        });
        f.push_back(std::move(c));
    };
    auto pages = [&](const char *prompt) {
        auto c = std::make_unique<ChoiceField>(QString::fromLatin1(prompt), 0, true, parent);
        if (context.publication) {
            for (int i = 0; i < context.publication->pageCount(); ++i)
                c->addEntry(context.publication->page(i)->Title, context.publication->page(i)->Title);
        }
        f.push_back(std::move(c));
    };
    const char *result = "Store the &Result in this Variable:";
    switch (command) {
    case CmdAlertBox:
    case CmdExit: text("&Title:", 0); memo("&Message:", 1); break;
    case CmdBalloon: memo("&Message:", 0); break;
    case CmdCloseWindow: text("&File Name of Window to Close:", 0); break;
    case CmdStopMedia: text("&File Name of Sound or Video to Stop (leave blank to stop all):", 0); break;
    case CmdDelay: number("&Delay Interval (milleseconds):", 0); break;
    case CmdDOSCommand: file("Application &File Name or DOS Command:", 0); text("&Parameters (optional):", 1); break;
    case CmdFileCopy: file("&Source File Name:", 0); file("&Destination File Name:", 1); break;
    case CmdFileInsLine: file("Name of Data &File:", 0); number("&Line Number to Insert new Line (1 = first line):", 1); break;
    case CmdFileDelLine: file("Name of Data &File:", 0); number("&Line Number to Delete (1 = first line):", 1); break;
    case CmdFileErase: file("&File to Erase:", 0); break;
    case CmdFileRead:
        file("Name of Data &File:", 0);
        number("&Line Number to Read from (1 = first line):", 1);
        text("Variable to Store &Data Retrieved from File:", 2);
        break;
    case CmdFileLen: file("Name of Data &File:", 0); text("Variable to Store Number of &Lines in File:", 1); break;
    case CmdFileWrite:
        file("Name of Data &File:", 0);
        f.push_back(std::make_unique<NumberField>(QStringLiteral("&Line Number to Write to (1 = first line):"), 1,
                                                  parent, QString(AppendToEnd), QStringLiteral("APPEND")));
        text("&Data to Write to File:", 2);
        break;
    case CmdFind: f.push_back(std::make_unique<FindField>(context.publication, parent)); break;
    case CmdGotoPage: pages("Goto Which &Page:"); break;
    case CmdPrintPage: pages("Print Which &Page:"); break;
    case CmdGotoLine: text("Enter Action Script Line number or Label to Go To:", 0); break;
    case CmdIf: text("I&F this statement:", 0); operators(1); text("&This statement:", 2); note(IfNote); break;
    case CmdWhile: text("&While this statement:", 0); operators(1); text("&This statement:", 2); note(WhileNote); break;
    case CmdImageWindow:
    case CmdTextWindow: text("Window &Title:", 0); file("&File Name:", 3); location(1, 2); break;
    case CmdInternetLink: text("Enter Home Page URL or FTP Address:", 0); break;
    case CmdMath:
        text("&Mathematical Equation:", 0);
        number("Number of &Decimal Places in Result:", 1);
        text("&Name of Variable to Store Result:", 2);
        break;
    case CmdMCICommand: text("MCI &Command String:", 0); break;
    case CmdMenu: memo("&Menu Items:", 2); location(0, 1); break;
    case CmdMenuEx: memo("&Menu Items:", 2); location(0, 1); text("&Name of Variable to store result:", 3); break;
    case CmdMessageBox:
        text("&Title:", 0);
        memo("&Message:", 1);
        memo("&Buttons:", 2);
        text("&Name of Variable to store result:", 3);
        break;
    case CmdPlayCartoonFile:
        file("&File Name:", 4);
        f.push_back(std::make_unique<CartoonGroup>(parent, position));
        playMode(7);
        break;
    case CmdPlayFlicFile:
        file("&File Name:", 4);
        location(0, 1);
        size(2, 3);
        number("Number of Times to Play Animation:", 5);
        playMode(6);
        break;
    case CmdPlayVideoFile: file("&File Name:", 4); location(0, 1); size(2, 3); playMode(5); break;
    case CmdPlaySoundFile: file("&File Name:", 0); playMode(1); break;
    case CmdPlayTone: f.push_back(std::make_unique<ToneField>(parent)); break;
    case CmdPopupImage:
        file("&File Name:", 2);
        location(0, 1);
        displayTime(3);
        f.push_back(std::make_unique<EffectField>(4, 5, parent));
        break;
    case CmdPrintTextFile:
    case CmdPrintDataFile:
        text("Page &Header (leave blank for none):", 0);
        text("Page &Footer (leave blank for none):", 1);
        file("&File Name:", 2);
        break;
    case CmdPrintImageFile: file("&File Name:", 0); text("Print &Scale Factor:", 1); break;
    case CmdRandom: number("Generate a Random Number Between 0 and:", 0); text("&Name of Variable to Store Result:", 1); break;
    case CmdSearchStr: text("&Search For:", 0); text("&In:", 1); text("and Store the &Result in this Variable:", 2); break;
    case CmdSetFont: f.push_back(std::make_unique<FontField>(parent)); break;
    case CmdSetVar: text("Varaible &Name:", 0); text("&Value to store in Variable:", 1); break;
    case CmdStickyNote: memo("&Message:", 2); location(0, 1); displayTime(3); break;
    case CmdStrIns:
        text("&Source String to Insert:", 0);
        text("&Destination String:", 1);
        number("Position in Destination to Insert Source:", 2);
        text(result, 3);
        break;
    case CmdStrLen: text("Calculate the Length of this String:", 0); text("and Store the &Result in this Variable:", 1); break;
    case CmdStrDel:
    case CmdSubStr: {
        const QString v = command == CmdStrDel ? QStringLiteral("Delete") : QStringLiteral("Copy");
        f.push_back(std::make_unique<TextField>(QStringLiteral("&Source String to ") + v + QStringLiteral(" from:"), 0, parent));
        f.push_back(std::make_unique<NumberField>(QStringLiteral("Position of &First character to ") + v + QStringLiteral(" in Source:"), 1, parent));
        f.push_back(std::make_unique<NumberField>(QStringLiteral("&Number of characters to ") + v + QStringLiteral(" from Source:"), 2, parent));
        text(result, 3);
        break;
    }
    case CmdSystemInfo: {
        auto c = std::make_unique<ChoiceField>(QStringLiteral("Type of System Info to Obtain:"), 0, false, parent);
        for (QLatin1String item : SystemInfoItems)
            c->addEntry(QString(item), QString(item));
        f.push_back(std::move(c));
        text(result, 1);
        break;
    }
    default:
        break;
    }
    return f;
}

} // namespace vardeko
