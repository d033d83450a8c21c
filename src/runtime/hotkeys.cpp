// Buttons' hot keys: the stored virtual-key form and Qt's keys.
#include "hotkeys.h"

namespace vardeko {

namespace {

constexpr quint16 HotShift = 0x2000;
constexpr quint16 HotCtrl = 0x4000;
constexpr quint16 HotAlt = 0x8000;

// Virtual keys without the same number as their Qt key.
constexpr struct
{
    int vk;
    int qt;
} KeyTable[] = {
        {0x08, Qt::Key_Backspace},    {0x09, Qt::Key_Tab},         {0x0D, Qt::Key_Return},
        {0x13, Qt::Key_Pause},        {0x1B, Qt::Key_Escape},      {0x20, Qt::Key_Space},
        {0x21, Qt::Key_PageUp},       {0x22, Qt::Key_PageDown},    {0x23, Qt::Key_End},
        {0x24, Qt::Key_Home},         {0x25, Qt::Key_Left},        {0x26, Qt::Key_Up},
        {0x27, Qt::Key_Right},        {0x28, Qt::Key_Down},        {0x2D, Qt::Key_Insert},
        {0x2E, Qt::Key_Delete},       {0x6A, Qt::Key_Asterisk},    {0x6B, Qt::Key_Plus},
        {0xBA, Qt::Key_Semicolon},    {0xBB, Qt::Key_Equal},       {0xBC, Qt::Key_Comma},
        {0xBD, Qt::Key_Minus},        {0xBE, Qt::Key_Period},      {0xBF, Qt::Key_Slash},
        {0xC0, Qt::Key_QuoteLeft},    {0xDB, Qt::Key_BracketLeft}, {0xDC, Qt::Key_Backslash},
        {0xDD, Qt::Key_BracketRight}, {0xDE, Qt::Key_Apostrophe},
};

int qtKeyOf(int vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return vk;
    if (vk >= 0x70 && vk <= 0x87) // F1 to F24
        return Qt::Key_F1 + (vk - 0x70);
    for (const auto &k : KeyTable) {
        if (k.vk == vk)
            return k.qt;
    }
    return 0;
}

int vkOf(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    if (qtKey == Qt::Key_Enter)
        return 0x0D;
    for (const auto &k : KeyTable) {
        if (k.qt == qtKey)
            return k.vk;
    }
    return 0;
}

} // namespace

QKeySequence keySequenceFromHotKey(quint16 key)
{
    const int qtKey = qtKeyOf(key & 0xFF);
    if (qtKey == 0)
        return QKeySequence();
    int modifiers = 0;
    if (key & HotShift)
        modifiers |= Qt::SHIFT;
    if (key & HotCtrl)
        modifiers |= Qt::CTRL;
    if (key & HotAlt)
        modifiers |= Qt::ALT;
    return QKeySequence(qtKey | modifiers);
}

quint16 hotKeyFromKeySequence(const QKeySequence &sequence)
{
    if (sequence.isEmpty())
        return 0;
    const QKeyCombination combination = sequence[0];
    const int vk = vkOf(combination.key());
    if (vk == 0)
        return 0;
    quint16 key = quint16(vk);
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ShiftModifier)
        key |= HotShift;
    if (modifiers & Qt::ControlModifier)
        key |= HotCtrl;
    if (modifiers & Qt::AltModifier)
        key |= HotAlt;
    return key;
}

} // namespace vardeko
