// Third-party files for the decoder tests live outside the repository (VARDEKO_TESTDATA,
// set from the CMake cache entry VARDEKO_TESTDATA_DIR). A test that reads them starts
// with REQUIRE_THIRD_PARTY_FILES() and is skipped, saying how to provide them, when
// they are absent; everything else still runs.
#pragma once

#include <QDir>
#include <QString>
#include <QTest>

inline QString thirdPartyFilesDir()
{
    return qEnvironmentVariable("VARDEKO_TESTDATA");
}

inline bool haveThirdPartyFiles()
{
    const QString dir = thirdPartyFilesDir();
    return !dir.isEmpty() && QDir(dir).exists();
}

#define REQUIRE_THIRD_PARTY_FILES()                                                             \
    do {                                                                                       \
        if (!haveThirdPartyFiles())                                                            \
            QSKIP("third-party test files not found: configure with "                          \
                  "-DVARDEKO_TESTDATA_DIR=<folder> (../shared/testdata is found by itself)");  \
    } while (false)
