// Converts Creative Voice (.VOC) sounds to RIFF wave files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1String>
#include <QString>

#include <functional>

namespace vardeko {

namespace vocmsg {
inline constexpr QLatin1String ConvertFailed("Unable to convert VOC sound file to WAV format!\r\r");
} // namespace vocmsg

// The wave file for the sound data of a VOC file: a 44-byte header (PCM, mono, 8 bits)
// and the samples of its sound-data and continuation blocks, up to a terminator or the
// end of the data. The rate is 1000000 div (256 - the last time constant), 11025 when
// there is no sound-data block. Gives 0, or 106 when the bytes are not a VOC file
// (wrong signature, too short, first block outside the file).
int vocToWav(QByteArrayView voc, QByteArray *wave);

// Converts the file `vocName` into `wavName` through a temporary file that is renamed
// into place, so a failure leaves no output and an old output untouched.
// Gives 0 or an I/O error code (106 for a file that is not a VOC file).
int convertVocFile(const QString &vocName, const QString &wavName);

// `ConvertVocToWav`: the wave file beside a VOC sound, with the extension ".WAV". A wave
// file that exists already is used as it is. On success `fileName` becomes the wave
// file's name; on failure it stays and the result is the error code.
int ConvertVocToWav(QString &fileName);

// The message for a failed conversion (line breaks are single carriage returns).
QString vocConversionMessage(int error);

// The publication reader's hook for ".VOC" sounds named by PlaySoundFile: converts each
// (ConvertVocToWav) and gives the wave file's name; a failed conversion is handed to
// `report` with its message and keeps the VOC name (an empty result).
std::function<QString(const QString &)>
vocConversionForReading(std::function<void(const QString &message)> report);

} // namespace vardeko
