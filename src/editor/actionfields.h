// The panels of the parameter dialog: each shows one or a few parameters of a line.
#pragma once

#include "commandtable.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace vardeko {

struct ActionContext;

// A field takes its parameters from the line's list and writes them back. A value the
// widget cannot show (a "[Var]" reference in a number field, a list or a radio group) is
// kept and written back unchanged until the author picks another value.
class ActionField
{
public:
    enum Kind { Text, File, Memo, Choice, Number, PlayMode, Location, Size, DisplayTime, Effect,
                Font, Find, Cartoon, Tone, Note };
    explicit ActionField(Kind kind) : mKind(kind) {}
    virtual ~ActionField() = default;
    Kind kind() const { return mKind; }
    virtual QWidget *widget() const = 0;
    virtual void load(const QStringList &params) = 0;
    virtual void store(QStringList &params) const = 0;

private:
    Kind mKind;
};

// A number field: digits with an optional sign, or a variable reference kept as written.
class NumberEdit : public QWidget
{
    Q_OBJECT
public:
    // `check` is the caption of a check box that stands for `checkedValue` ("-1", "0",
    // "APPEND"); empty for none.
    NumberEdit(const QString &check, const QString &checkedValue, QWidget *parent = nullptr);
    void setValue(const QString &value);
    QString value() const;
    QLineEdit *edit() const { return mEdit; }
    QCheckBox *check() const { return mCheck; }

private:
    QLineEdit *mEdit;
    QCheckBox *mCheck = nullptr;
    QString mCheckedValue;
};

// Builds the fields of `command` into `parent`'s layout, top to bottom. Location and
// size fields get a position button that calls `position`.
std::vector<std::unique_ptr<ActionField>> makeActionFields(int command, const ActionContext &context,
                                                           QWidget *parent,
                                                           const std::function<void()> &position);

// The field of a kind, or null.
ActionField *findField(const std::vector<std::unique_ptr<ActionField>> &fields, ActionField::Kind kind);

// Numbers a position group holds: x/y (and w/h) as the fields show them.
struct PositionValues
{
    QString x, y, w, h;
};

// Location, size and cartoon fields expose their values to the position dialog.
class PositionField : public ActionField
{
public:
    using ActionField::ActionField;
    virtual PositionValues position() const = 0;
    virtual void setPosition(const PositionValues &values) = 0;
};

// The cartoon group's repeat count and speed, shared with the position dialog.
class CartoonField : public PositionField
{
public:
    using PositionField::PositionField;
    virtual QString repeat() const = 0;
    virtual QString speed() const = 0;
    virtual void setRepeatAndSpeed(const QString &repeat, const QString &speed) = 0;
};

// The play-mode word written for radio button 0, 1 or 2.
QString playModeWord(int mode);

// The operator list's entries and the operator each writes.
struct OperatorEntry
{
    const char *text;
    const char *op;
};
extern const OperatorEntry OperatorEntries[6];

} // namespace vardeko
