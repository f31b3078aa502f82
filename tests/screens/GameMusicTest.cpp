// The game's music track is read when the board first asks for it, once.
#include "DatalessGameApp.h"

#include "framework/audio/MusicInterface.h"

#include <vector>

namespace
{

class LoadRecordingMusic : public Quillo::MusicInterface
{
public:
    explicit LoadRecordingMusic(std::vector<int>& loads) : m_loads(loads) {}
    bool LoadTrack(int id, const std::string&) override
    {
        m_loads.push_back(id);
        return true;
    }

private:
    std::vector<int>& m_loads;
};

class MusicGameApp : public DatalessGameApp
{
public:
    MusicGameApp() { musicInterface = std::make_unique<LoadRecordingMusic>(loads); }
    std::vector<int> loads;
};

TEST(GameMusicTest, GameTrackLoadsOnItsFirstUseOnly)
{
    MusicGameApp app;
    app.FadeInMusic(0, 0, 0.2, false);
    app.StopMusic(1);
    EXPECT_TRUE(app.loads.empty());
    app.PlayMusic(1, 17, true);
    app.FadeInMusic(1, 0, 0.2, false);
    app.PlayMusic(1, 16, true);
    EXPECT_EQ(app.loads, std::vector<int>{1});
}

} // namespace
