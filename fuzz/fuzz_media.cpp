// Feeds arbitrary bytes to one media reader, chosen when the target is built
// (FUZZ_MEDIA_READER): 1 the flic decoder (every frame), 2 the cartoon reader, 3 VOC
// conversion, 4 the MCI command-string emulation (one command per line).
#include "cartoonfile.h"
#include "flicdecoder.h"
#include "mcistring.h"
#include "vocconvert.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace vardeko;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

#if FUZZ_MEDIA_READER == 1
    FlicDecoder flic;
    if (flic.open(bytes, nullptr)) {
        const size_t pixels = size_t(flic.header().width) * size_t(flic.header().height);
        int frames = 0;
        while (flic.decodeNext()) {
            if (flic.plane().size() != pixels || ++frames > 0xFFFF)
                __builtin_trap();
        }
    }

#elif FUZZ_MEDIA_READER == 2
    CartoonFile cartoon;
    if (readCartoon(bytes, &cartoon, nullptr) && (cartoon.frames < 1 || cartoon.strip.isEmpty()))
        __builtin_trap();

#elif FUZZ_MEDIA_READER == 3
    QByteArray wave;
    if (vocToWav(bytes, &wave) == 0 && wave.size() < 44)
        __builtin_trap();

#else
    // Each line of the input is one command string, sent in order to one emulation.
    SilentMciBackend backend;
    MciEmulator mci(&backend);
    for (const QByteArray &line : bytes.left(4096).split('\n')) {
        const MciReply reply = mci.send(QString::fromLatin1(line));
        if (reply.code != 0 && mciErrorText(reply.code).isEmpty())
            __builtin_trap();
    }
#endif
    return 0;
}
