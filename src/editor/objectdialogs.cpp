// Opens the object dialog that fits an object, and Adjust Object for a selection.
#include "objectdialogs.h"

#include "actionmemo.h"

#include <QFileInfo>

namespace vardeko {

namespace {

bool gTextRemoved = false;

// The stack that holds an object: a page's, the master page's or a group's.
ObjectList *stackOf(ObjectList &stack, const PageObject *object)
{
    for (const ObjectPtr &o : stack) {
        if (o.get() == object)
            return &stack;
    }
    ObjectList *found = nullptr;
    forEachObject(stack, [&](PageObject &o) {
        for (const ObjectPtr &m : o.Members) {
            if (!found && m.get() == object)
                found = &o.Members;
        }
    });
    return found;
}

ObjectList *stackOf(Publication &pub, const PageObject *object)
{
    if (pub.currentPage()) {
        if (ObjectList *s = stackOf(pub.currentPage()->Objects, object))
            return s;
    }
    if (pub.masterPage()) {
        if (ObjectList *s = stackOf(pub.masterPage()->Objects, object))
            return s;
    }
    for (int i = 0; i < pub.pageCount(); ++i) {
        if (ObjectList *s = stackOf(pub.page(i)->Objects, object))
            return s;
    }
    return nullptr;
}

QString publicationDir(const Publication &pub)
{
    return pub.FileName.isEmpty() ? QString() : QFileInfo(pub.FileName).absolutePath();
}

void repaintOnApply(AdjustObjectDialog &dialog, QWidget *parent)
{
    if (parent)
        QObject::connect(&dialog, &AdjustObjectDialog::applied, parent,
                         [parent] { parent->update(); });
}

} // namespace

bool textObjectRemoved()
{
    return gTextRemoved;
}

bool editObject(QWidget *parent, Publication &pub, PageObject &object, const QRect &oldBox)
{
    Q_UNUSED(oldBox) // the caller repaints it with the new box
    gTextRemoved = false;
    const QString dir = publicationDir(pub);
    bool accepted = false;
    if (ArticleData *article = object.article()) {
        WindowAttributesDialog dialog(*article, dir, parent);
        accepted = dialog.exec() == QDialog::Accepted;
    } else if (PictureData *picture = object.picture()) {
        WindowAttributesDialog dialog(*picture, dir, parent);
        accepted = dialog.exec() == QDialog::Accepted;
    } else if (ButtonData *button = object.button()) {
        ButtonAttributesDialog dialog(*button, dir, parent);
        dialog.actionPanel()->setPublication(&pub, dir);
        accepted = dialog.exec() == QDialog::Accepted;
    } else if (TextData *text = object.text()) {
        TitleAttributesDialog dialog(*text, parent);
        accepted = dialog.exec() == QDialog::Accepted;
        if (accepted && text->Text.isEmpty()) {
            if (ObjectList *stack = stackOf(pub, &object)) {
                destroyObject(*stack, &object);
                gTextRemoved = true;
            }
        }
    } else {
        AdjustObjectDialog dialog(pub, pub.currentPage(), &object, parent);
        repaintOnApply(dialog, parent);
        accepted = dialog.exec() == QDialog::Accepted;
        if (accepted)
            pub.Modified = true;
        return accepted || dialog.changed();
    }
    if (accepted)
        pub.Modified = true;
    return accepted;
}

bool adjustObjects(QWidget *parent, Publication &pub, Page &page)
{
    if (countSelected(page.Objects) == 0)
        return false;
    AdjustObjectDialog dialog(pub, &page, nullptr, parent);
    repaintOnApply(dialog, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return accepted || dialog.changed();
}

} // namespace vardeko
