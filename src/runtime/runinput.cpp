// The reader's mouse and keys in run mode: buttons, entry fields, the key focus.
#include "runinput.h"

#include "debugform.h"
#include "hotkeys.h"
#include "pagepainter.h"
#include "runsession.h"
#include "scriptrunner.h"
#include "textmeasurer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QThread>
#include <QWidget>

namespace vardeko {

namespace {

bool contains(const PageObject &o, const QPoint &p)
{
    return p.x() >= o.X1 && p.x() <= o.X2 && p.y() >= o.Y1 && p.y() <= o.Y2;
}

PageObject *hitStack(const ObjectList &stack, const QPoint &point, bool *found)
{
    // A hit group is searched inside, level by level: nesting of any depth costs no stack.
    const ObjectList *level = &stack;
    for (bool top = true;; top = false) {
        PageObject *hit = nullptr;
        for (auto it = level->rbegin(); it != level->rend() && !hit; ++it) {
            if (contains(**it, point))
                hit = it->get();
        }
        if (!hit)
            return nullptr;
        if (top)
            *found = true;
        if (!hit->isGroup())
            return hit;
        level = &hit->Members;
    }
}

void collect(const ObjectList &stack, QList<PageObject *> &out)
{
    forEachObject(stack, [&out](PageObject &o) {
        if (!o.isGroup())
            out.append(&o);
    });
}

QColor qtColor(ColorRef c)
{
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

bool showsScrollBar(const PageObject &o)
{
    constexpr quint8 bars = VScrollBarOn | HScrollBarOn;
    if (const ArticleData *a = o.article())
        return a->WindowFlags & bars;
    if (const PictureData *p = o.picture())
        return p->WindowFlags & bars;
    return false;
}

} // namespace

PageObject *runHitTest(const Page &page, const Page *master, const QPoint &point)
{
    bool found = false;
    PageObject *hit = hitStack(page.Objects, point, &found);
    if (found)
        return hit;
    if (master && master != &page && page.ShowMaster)
        return hitStack(master->Objects, point, &found);
    return nullptr;
}

// --- the key focus

QList<PageObject *> RunSession::focusChain() const
{
    QList<PageObject *> all;
    const Page *page = pub().currentPage();
    if (!page)
        return all;
    const Page *master = pub().masterPage();
    if (master && master != page && page->ShowMaster)
        collect(master->Objects, all);
    collect(page->Objects, all);
    all.removeIf([this](PageObject *o) { return !canTakeFocus(*o); });
    return all;
}

bool RunSession::canTakeFocus(const PageObject &o) const
{
    const PublicationSettings &s = pub().Settings;
    if (const ButtonData *b = o.button())
        return b->Style == EntryField || s.TabButtons;
    return s.TabWindows && showsScrollBar(o);
}

void RunSession::repaintObject(const PageObject *object)
{
    if (object)
        mWindow.repaintPage(paintedBounds(*object).adjusted(-3, -3, 3, 3));
}

void RunSession::setFocus(PageObject *object)
{
    if (object == mFocus && (!object || !object->button() || object->button()->Style != EntryField || mEditor)) {
        if (mEditor && mEditedField == object)
            mEditor->setFocus(Qt::OtherFocusReason); // a click on the field edits it again
        return;
    }
    PageObject *old = mFocus;
    mFocus = object;
    if (object && object->button() && object->button()->Style == EntryField)
        openFieldEditor(object);
    else
        closeFieldEditor();
    repaintObject(old);
    repaintObject(object);
}

void RunSession::moveFocus(bool backwards)
{
    const QList<PageObject *> chain = focusChain();
    if (chain.isEmpty())
        return;
    const qsizetype at = chain.indexOf(mFocus);
    qsizetype next;
    if (at < 0)
        next = backwards ? chain.size() - 1 : 0;
    else
        next = (at + (backwards ? chain.size() - 1 : 1)) % chain.size();
    setFocus(chain.at(next));
}

// --- entry fields

void RunSession::openFieldEditor(PageObject *field)
{
    if (mEditedField == field && mEditor)
        return;
    closeFieldEditor();
    ButtonData &b = *field->button();
    auto *edit = new QLineEdit(mWindow.pageWidget());
    edit->setObjectName(QStringLiteral("RunFieldEdit"));
    edit->setFrame(false);
    const QRect box = field->box().normalized();
    const int inset = field->LineWidth >= 1 ? 2 : 0;
    edit->setGeometry(box.translated(mWindow.pageOrigin()).adjusted(inset, inset, -inset, -inset));
    edit->setFont(objectFont(b.Font, b.FontSize, b.FontStyle));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, qtColor(b.TextColor));
    palette.setColor(QPalette::Base, qtColor(field->FillColor));
    edit->setPalette(palette);
    edit->setMaxLength(qMax(1, b.MaxLen));
    edit->setText(b.Contents);
    edit->installEventFilter(this);
    // Only the reader's edits count: a script that sets the field's variable changes
    // the text without running the field's script again.
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) {
        if (mEditedField == field)
            FieldChanged(field, text);
    });
    mEditor = edit;
    mEditedField = field;
    edit->show();
    edit->setFocus(Qt::OtherFocusReason);
}

void RunSession::closeFieldEditor()
{
    if (!mEditor) {
        mEditedField = nullptr;
        return;
    }
    QLineEdit *edit = mEditor;
    mEditor = nullptr;
    mEditedField = nullptr;
    edit->removeEventFilter(this);
    disconnect(edit, nullptr, this, nullptr);
    const bool hadFocus = edit->hasFocus();
    edit->hide();
    // It may be the sender of the signal whose script is running now.
    edit->deleteLater();
    if (hadFocus && mWindow.pageWidget())
        mWindow.pageWidget()->setFocus(Qt::OtherFocusReason);
}

void RunSession::FieldChanged(PageObject *field, const QString &text)
{
    ButtonData *b = field ? field->button() : nullptr;
    if (!b || !RunMode)
        return;
    LastActivityTicks = runTicks();
    b->Contents = text;
    if (!b->VarName.isEmpty()) {
        mSettingField = true;
        globalVariables().SetVariable(b->VarName, text);
        mSettingField = false;
    }
    if (!b->Action.isEmpty())
        ExecuteScript(b->Action);
}

// Esc and Pause typed into a window other than the page (the debug window, Find, a text
// window, the main window's bars) are the page's keys too. Pop-ups, menus and modal
// dialogs keep their own Esc.
bool RunSession::appKeyPress(QObject *watched, QKeyEvent *key)
{
    const int k = key->key();
    if (!RunMode || (k != Qt::Key_Escape && k != Qt::Key_Pause) || !watched->isWidgetType())
        return false;
    auto *target = static_cast<QWidget *>(watched);
    QWidget *page = mWindow.pageWidget();
    if (target == mEditor || (page && (target == page || page->isAncestorOf(target))))
        return false; // the page's own key handling
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()
        || runProviders().popups->isPaletteOpen())
        return false;
    return HandleRunKey(k, key->modifiers());
}

bool RunSession::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched == mWindow.debugWindow()) {
        mDebugShown = debugShown();
        // A hidden window listed nothing: shown during a run, it lists the variables as they stand.
        if (type == QEvent::Show && RunMode)
            variableListChanged();
    }
    if (event->type() == QEvent::KeyPress && watched != mEditor
        && appKeyPress(watched, static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == mEditor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Text and caret keys belong to the field; the others are the page's.
        const bool textKey = !key->text().isEmpty() && key->text().at(0).isPrint()
                             && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        const int k = key->key();
        const bool caretKey = k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Home
                              || k == Qt::Key_End || k == Qt::Key_Backspace || k == Qt::Key_Delete
                              || k == Qt::Key_Up || k == Qt::Key_Down;
        if (!textKey && !caretKey && HandleRunKey(k, key->modifiers()))
            return true;
        LastActivityTicks = runTicks();
    }
    return QObject::eventFilter(watched, event);
}

// --- buttons

void RunSession::completePress(PageObject *button, quint8 stateBefore)
{
    ButtonData &b = *button->button();
    switch (b.Style) {
    case PushButton:
        b.State = 0;
        break;
    case CheckBox:
        b.State = stateBefore ? 0 : 1;
        break;
    case RadioButton:
        b.State = 1;
        break;
    default:
        break;
    }
    repaintObject(button);
    if (!b.VarName.isEmpty()) {
        if (b.Style == CheckBox) {
            globalVariables().SetVariable(b.VarName, b.State ? QStringLiteral("Checked") : QString());
        } else if (b.Style == RadioButton) {
            clearOtherRadios(button);
            globalVariables().SetVariable(b.VarName, b.Text);
        }
    }
    if (!b.Action.isEmpty())
        ExecuteScript(b.Action);
}

void RunSession::PressButton(PageObject *button)
{
    ButtonData *b = button ? button->button() : nullptr;
    if (!b || !RunMode)
        return;
    if (b->Style == EntryField) {
        setFocus(button);
        return;
    }
    if (b->Style == RadioButton && b->State == 1)
        return;
    const quint8 before = b->State;
    b->State = b->Style == PushButton ? 1 : 2;
    if (pub().Settings.TabButtons)
        setFocus(button);
    repaintObject(button);
    holdInput(150); // the press shows for a moment
    // The page may have changed meanwhile (a tick's return action).
    if (RunMode)
        completePress(button, before);
}

PageObject *RunSession::hotKeyButton(int key, Qt::KeyboardModifiers modifiers) const
{
    const quint16 wanted = hotKeyFromKeySequence(QKeySequence(QKeyCombination(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), Qt::Key(key))));
    if (!wanted)
        return nullptr;
    const Page *page = pub().currentPage();
    if (!page)
        return nullptr;
    QList<PageObject *> all;
    const Page *master = pub().masterPage();
    if (master && master != page && page->ShowMaster)
        collect(master->Objects, all);
    collect(page->Objects, all);
    for (PageObject *o : std::as_const(all)) {
        if (const ButtonData *b = o->button(); b && b->Key == wanted)
            return o;
    }
    return nullptr;
}

bool RunSession::scrollFocused(int key)
{
    if (!mFocus || !(mFocus->article() || mFocus->picture()) || !showsScrollBar(*mFocus))
        return false;
    if (mFocus->article() && mWindow.articleObjects())
        return articleScrollKey(key);
    QPoint pos = mScroll.value(mFocus);
    const int page = qMax(16, mFocus->box().normalized().height() - 16);
    switch (key) {
    case Qt::Key_Up: pos.ry() -= 16; break;
    case Qt::Key_Down: pos.ry() += 16; break;
    case Qt::Key_Left: pos.rx() -= 16; break;
    case Qt::Key_Right: pos.rx() += 16; break;
    case Qt::Key_PageUp: pos.ry() -= page; break;
    case Qt::Key_PageDown: pos.ry() += page; break;
    case Qt::Key_Home: pos = QPoint(0, 0); break;
    case Qt::Key_End: pos.ry() += 1 << 24; break;
    default: return false;
    }
    pos.setX(qBound(0, pos.x(), 1 << 24));
    pos.setY(qBound(0, pos.y(), 1 << 24));
    mScroll.insert(mFocus, pos);
    repaintObject(mFocus);
    return true;
}

bool RunSession::HandleRunKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (!RunMode)
        return false;
    LastActivityTicks = runTicks();
    const PublicationSettings &s = pub().Settings;
    const bool editing = mEditor != nullptr;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (key == Qt::Key_Escape && s.AllowESC) {
        SetRunMode(0);
        return true;
    }
    if ((key == Qt::Key_PageUp || key == Qt::Key_PageDown) && s.AllowPageUpDn) {
        stepPage(key == Qt::Key_PageUp ? PageMove::Previous : PageMove::Next);
        return true;
    }
    if ((key == Qt::Key_Home || key == Qt::Key_End) && s.AllowPageUpDn && !editing) {
        stepPage(key == Qt::Key_Home ? PageMove::First : PageMove::Last);
        return true;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        moveFocus(shift || key == Qt::Key_Backtab);
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !editing && mFocus
        && mFocus->button() && mFocus->button()->Style != EntryField) {
        PressButton(mFocus);
        return true;
    }
    if ((key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End
         || key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)
        && scrollFocused(key))
        return true;
    if (PageObject *button = hotKeyButton(key, modifiers)) {
        PressButton(button);
        return true;
    }
    if ((key == Qt::Key_Escape || key == Qt::Key_Pause) && runDepth() > 0) {
        mRunner->stopAllScripts();
        beep();
        return true;
    }
    return false;
}

// --- the mouse

void RunSession::mousePress(Qt::MouseButton button, const QPoint &point)
{
    if (!RunMode || button != Qt::LeftButton)
        return;
    LastActivityTicks = runTicks();
    Page *page = pub().currentPage();
    if (!page)
        return;
    PageObject *hit = runHitTest(*page, pub().masterPage(), point);
    if (!hit)
        return;
    if (ButtonData *b = hit->button()) {
        if (b->Style == EntryField) {
            setFocus(hit);
            return;
        }
        if (b->Style == RadioButton && b->State == 1)
            return;
        mPressed = hit;
        mPressedState = b->State;
        mPressedShown = true;
        b->State = b->Style == PushButton ? 1 : 2;
        repaintObject(hit);
        if (pub().Settings.TabButtons)
            setFocus(hit);
        return;
    }
    if ((hit->article() || hit->picture()) && showsScrollBar(*hit) && pub().Settings.TabWindows)
        setFocus(hit);
    if (hit->article())
        articlePress(hit, point);
}

void RunSession::mouseMove(const QPoint &point)
{
    if (!RunMode)
        return;
    LastActivityTicks = runTicks();
    Page *page = pub().currentPage();
    if (!page)
        return;
    if (mPressed) {
        ButtonData *b = mPressed->button();
        const bool inside = contains(*mPressed, point);
        if (inside != mPressedShown) {
            mPressedShown = inside;
            b->State = inside ? (b->Style == PushButton ? 1 : 2) : mPressedState;
            repaintObject(mPressed);
        }
    }
    PageObject *hit = runHitTest(*page, pub().masterPage(), point);
    QCursor shape(Qt::ArrowCursor);
    if (hit) {
        if (const ButtonData *b = hit->button())
            shape = b->Style == EntryField ? QCursor(Qt::IBeamCursor) : QCursor(Qt::PointingHandCursor);
        else if (showsScrollBar(*hit) || (hit->article() && overArticleLink(*hit, point)))
            shape = QCursor(Qt::PointingHandCursor);
    }
    mWindow.setPageCursor(shape);
}

void RunSession::mouseRelease(Qt::MouseButton button, const QPoint &point)
{
    if (!RunMode || button != Qt::LeftButton)
        return;
    PageObject *pressed = mPressed;
    mPressed = nullptr;
    if (!pressed)
        return;
    if (!mPressedShown || !contains(*pressed, point)) {
        pressed->button()->State = mPressedState;
        repaintObject(pressed);
        return;
    }
    completePress(pressed, mPressedState);
}

} // namespace vardeko
