// Buttons' hot keys: the stored virtual-key form and Qt's keys.
#pragma once

#include <QKeySequence>

namespace vardeko {

// Hot keys are stored as a virtual key in the low byte with 0x2000 Shift, 0x4000 Ctrl and
// 0x8000 Alt; 0 is none. A key sequence that has no stored form gives 0.
QKeySequence keySequenceFromHotKey(quint16 key);
quint16 hotKeyFromKeySequence(const QKeySequence &sequence);

} // namespace vardeko
