// The MCI emulation's backend that really plays: one media player per open device.
#pragma once

#include "mcistring.h"

#include <map>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace vardeko {

class PlayerMciBackend : public MciBackend
{
public:
    PlayerMciBackend();
    ~PlayerMciBackend() override;

    int open(int id, const QString &file, const QString &type, qint64 *lengthMs) override;
    int play(int id, qint64 fromMs, qint64 toMs, bool wait) override;
    void stop(int id) override;
    void pause(int id) override;
    void resume(int id) override;
    void seek(int id, qint64 ms) override;
    void close(int id) override;
    qint64 position(int id) override;
    bool isPlaying(int id) override;

private:
    struct Device;
    Device *find(int id);
    std::map<int, std::unique_ptr<Device>> mDevices;
};

} // namespace vardeko
