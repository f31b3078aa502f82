#pragma once

#include "framework/app/CommandLine.h"
#include "framework/app/DemoFileGateway.h"
#include "framework/app/DemoPlaybackKeys.h"
#include "framework/app/DemoSession.h"
#include "framework/app/DemoSink.h"
#include "framework/app/FrameRateOverlay.h"
#include "framework/app/SettingsAccess.h"
#include "framework/graphics/AreaList.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/platform/Platform.h"
#include "framework/resources/ResourceHost.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetHost.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Quillo
{

class AudioOutput;
class Dialog;
class Image;
class MemoryImage;
class MusicInterface;
class NativeDisplay;
class ResourceManager;
class SoundManager;
class Widget;
class WidgetManager;

class QuilloAppBase;

// The one application object of the process.
extern QuilloAppBase* gApp;

// The application object: it owns the window, the display, the widget
// manager, sound, music and resources, and runs the main loop of fixed
// 10 ms update steps with drawing and sleeping between them. Games derive
// from it and override the hooks they need.
class QuilloAppBase : public ButtonListener, public WidgetHost, public ResourceHost, protected DemoSink
{
public:
    enum class DemoMode
    {
        None,
        Record,
        Play,
    };

    QuilloAppBase();
    QuilloAppBase(const QuilloAppBase&) = delete;
    QuilloAppBase& operator=(const QuilloAppBase&) = delete;

    virtual bool StepFrame(bool allowSleep);
    virtual void RunOneUpdate();
    virtual bool TryUpdate();
    virtual void UpdateFraction(double fraction);
    virtual void CreateMainWindow();
    virtual bool ApplyCursor();
    virtual void RestoreImageSurfaces();
    virtual void ReleaseImageSurfaces();
    virtual void OnLoadingFinished() {}
    ~QuilloAppBase() override;
    virtual std::unique_ptr<MusicInterface> CreateMusicPlayer();
    // The sound manager Init makes when none was installed.
    virtual std::unique_ptr<SoundManager> CreateSoundManager();
    // The output the sound manager and the music share, opened on first use.
    std::shared_ptr<AudioOutput> GetAudioOutput();
    virtual void Init();
    virtual void OnBeforeExit() {}
    virtual void LoadingThreadBody() {}
    virtual void SaveSettings();
    virtual void LoadSettings();
    virtual Dialog* MakeDialog(int id, bool modal, const std::string& dialogTitle,
                               const std::string& text, const std::string& footer, int buttonMode);
    void RunLoop(int modalDialogId) override;
    virtual void BeginSystemPopup();
    virtual void EndSystemPopup();
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               MessageBoxKind kind);
    void ShowFatalError(const std::string& text) override;
    virtual void LogToErrorFile(const std::string& text);
    virtual void DeleteLater(Widget* widget);
    virtual void OnAppGotFocus();
    virtual void OnAppLostFocus();
    virtual void OpenUrl(const std::string& url);
    virtual std::string GetProductVersion(const std::string& path);
    virtual void HideApp();
    virtual std::string DescribeRun();
    virtual void Shutdown();
    virtual void ParseCommandLine();
    virtual void ParseParams(const std::string& text);
    virtual bool HandleParam(const std::string& name, const std::string& value);
    virtual void Start();
    virtual void OnBeforeWindow() {}
    virtual void OnBeforeDisplay() {}
    virtual bool KeepWorkingDirectory(const std::string& dir);
    // Makes the folder that holds the data (beside the program, or the
    // installed one) the working directory; ends the process with a message
    // naming both places when neither holds it.
    void EnterDataFolder(const std::string& programDirectory);
    // True when the data came from the installed folder, which the program
    // must never write into.
    bool IsDataInstalled() const { return dataInstalled; }
    // Where the program's own files go that are not the game's (the crash
    // report, the screen saver's error log, the developer keys' screenshots
    // and image dumps): empty for
    // the working directory, else a folder ending in "/", made if missing.
    void SetOutputFolder(const std::string& folder);
    const std::string& OutputFolder() const { return outputFolder; }
    // Gives the window the picture at windowIconPath, when there is one.
    void ApplyWindowIcon();
    virtual void PlaySoundEffectPanned(int id, int pan);
    virtual void PlaySoundEffect(int id);
    virtual double GetSystemSoundVolume();
    virtual double GetMusicVolume() { return musicVolume; }
    virtual double GetSfxVolume() { return sfxVolume; }
    virtual bool IsMuted() { return muteCount > 0; }
    virtual void SetSystemSoundVolume(double v);
    virtual void SetMusicVolume(double v);
    virtual void SetSfxVolume(double v);
    virtual void Mute(bool automatic);
    virtual void Unmute(bool automatic);
    virtual double GetLoadingProgress();
    std::unique_ptr<MemoryImage> LoadDisplayImage(const std::string& path) override;
    // ResourceHost: loaded pictures become images the display knows about.
    std::unique_ptr<MemoryImage> CreateDisplayImage() override;
    SoundManager* GetSoundManager() override { return soundManager.get(); }
    virtual void SetScreenMode(bool wantWindowed, bool threeD);
    virtual void SetWindowed(bool wantWindowed);
    // A display failure showed that this machine cannot run windowed.
    bool IsWindowedImpossible() const { return windowedImpossible; }
    virtual void SetDisplayOption(bool on);
    virtual Dialog* ShowDialog(int id, bool modal, const std::string& dialogTitle,
                               const std::string& text, const std::string& footer, int buttonMode);
    virtual Dialog* FindDialog(int id);
    virtual void AddDialog(int id, Dialog* dialog);
    virtual void CloseDialog(Dialog* dialog);
    bool CloseDialogById(int id) override;
    virtual int DialogCount() { return static_cast<int>(dialogMap.size()); }
    virtual void OnModalOpened() {}
    virtual void OnModalClosed() {}
    virtual void OnActivated() {}
    virtual void OnDeactivated() {}
    // Pads connected now; their controls arrive as keys.
    int GamepadCount() const { return gamepadCount; }
    // A pad came or went (a departed pad's keys are released by then).
    virtual void OnGamepadAdded() {}
    virtual void OnGamepadRemoved() {}
    virtual bool IsSwallowedSysChar(int ch) { return ch == 'r' || ch == 'R'; }
    virtual bool OnDebugKey(int key);
    virtual bool DrawFrame();
    virtual void PresentScreen(const Rect& rect);
    // Presents knowing that only the areas changed since the last present.
    void PresentScreenAreas(const std::vector<Rect>& areas);

    // Parses "properties/resources.xml"; a failure is fatal.
    void LoadResourceManifest();
    // Shows the resource manager's collected error; exit ends the process.
    void ShowResourceError(bool exit);
    // Makes the next StepFrame shut the application down.
    void RequestClose() { closePending = true; }
    // Runs a task on the main thread between frames: the only way other
    // threads may ask for a shutdown, a message box or a resource error.
    void PostToMainThread(std::function<void()> task);
    // Flushes what must survive and ends the process at once, without
    // running the destructors of objects other threads may still use.
    [[noreturn]] void EndProcess(int code);

    // Time-backlog control: forget real time not yet consumed by updates.
    void ClearTimeBacklog();
    // For the next 1000 ms, no update is caught up after a hitch.
    void RequestNoCatchUp() { noCatchUpMs = 1000.0; }

    // Loading progress counters advanced by the loading work.
    void SetLoadingTaskCount(int expected) { loadingTasksExpected = expected; }
    void AddLoadingTasksDone(int n) { loadingTasksDone += n; }

    // The process command line, from main's arguments; ParseCommandLine
    // (run by Init) hands it to ParseParams. Without it there are no
    // parameters.
    void SetCommandLine(int argc, const char* const* argv);
    // The program's main answers the renderer probe (before anything else),
    // so the presenter may ask a child of it instead of loading OpenGL here.
    void AnswerRendererProbe() { answersRendererProbe = true; }

    // Starts the run with demo recording or playback, as "-record" or
    // "-play" with "-demofile=" would; for applications that ignore their
    // command line. Call it before Init. An empty path keeps demoFileName.
    // Recording writes the file when the application object is destroyed.
    //     auto app = std::make_unique<GameApp>();
    //     app->SetDemoMode(QuilloAppBase::DemoMode::Play, "/tmp/run.dmo");
    //     app->Init();
    //     app->Start();
    void SetDemoMode(DemoMode mode, const std::string& path);
    DemoMode GetDemoMode() const;

    // The settings store below registryKey (set up by LoadSettings). A value
    // name "Sub\Name" is the value Name in the subkey Sub. Failures are
    // quiet: false, and the caller's value stays as it was.
    bool WriteString(const std::string& name, const std::string& text);
    bool WriteInteger(const std::string& name, int value);
    bool WriteBoolean(const std::string& name, bool value);
    bool ReadString(const std::string& name, std::string& text);
    bool ReadInteger(const std::string& name, int& value);
    bool ReadBoolean(const std::string& name, bool& value);
    bool EraseValue(const std::string& name);
    SettingsAccess& Settings() { return settings; }
    // False when the previous run did not end cleanly ("InProgress" was 1).
    bool PreviousExitClean() const { return previousExitClean; }

    // Calls to the outside world that a demo records and plays back.
    bool FileExists(const std::string& path);
    bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data);
    // Files stay while a demo plays.
    bool DeleteFileUnlessPlaying(const std::string& path);
    // Keeps a value in step with the recording (the recorded one wins).
    void SyncText(std::string& text);
    void SyncByte(uint8_t& value);
    DemoSession& Demo() { return demo; }
    // The calls for the files the program keeps for its player: recorded
    // into a demo, and answered from it (the real files untouched) while
    // one plays.
    FileGateway& Files() { return files; }

    // Installs the platform (tests pass their own) before Init; Init makes
    // the SDL one when none was installed.
    void SetPlatform(std::unique_ptr<Platform> p) { platform = std::move(p); }
    Platform* GetPlatform() { return platform.get(); }
    void SetSoundManager(std::unique_ptr<SoundManager> manager);

    // WidgetHost: what widgets ask of the application.
    void SetCursorKind(int kind) override;
    std::string GetClipboardText() override;
    void SetClipboardText(const std::string& text) override;
    ButtonListener* ApplicationButtonListener() override { return this; }
    std::unique_ptr<Font> MakeSystemFont(const std::string& face, int pointSize, bool bold) override;
    bool IsShuttingDown() override { return shutdownStarted; }

    // Window-message handling: translated platform events are queued and
    // handled between frames.
    void QueueEvent(const PlatformEvent& event);
    // Queues a key's press and release as the keyboard would send them, so
    // that they reach the widgets, and a recording, as typed keys do.
    void QueueKeyPress(int key);
    void HandleQueuedEvents();
    void PumpPlatformEvents();
    // PumpPlatformEvents when events may have come since the last time.
    void PumpPlatformEventsIfDue();

    // Identity and requested window.
    std::string productName = "Product";
    std::string title = "QuilloApp";
    std::string captionPrefix;
    std::string registryKey;
    std::string productVersion;
    // The installed data folder relative to the program's folder
    // ("../share/name"); empty for a program that is never installed.
    std::string installedDataPath;
    // The desktop entry's name without ".desktop", which the desktop
    // matches the window by, and the window's icon in the data.
    std::string desktopId;
    std::string windowIconPath;
    bool answersRendererProbe = false;
    int width = 640;
    int height = 480;
    int preferredX = -1;
    int preferredY = -1;
    // The size the player gave the ordinary window; -1 while none.
    int preferredWidth = -1;
    int preferredHeight = -1;
    // The ordinary window's size as last asked for or reported.
    Point windowSize;
    bool windowed = true;
    bool physicallyWindowed = true;

    // Volumes and muting.
    double musicVolume = 0.85;
    double sfxVolume = 0.85;
    double savedMusicVolume = 0.0;
    double savedSfxVolume = 0.0;
    int muteCount = 0;
    int autoMuteCount = 0;
    bool muteOnLostFocus = true;

    // Timing.
    int updateStepMs = 10;
    double speedFactor = 1.0;
    bool refreshPaced = false;
    int refreshRate = 100;
    bool waitForVSync = false;
    bool customCursors = false;
    bool auto3DRequest = false;
    bool test3DRequest = false;
    bool is3D = false;

    int cursorKind = 0;
    std::array<Image*, 6> cursorImages{};

    double timeAccumulator = 0.0;
    double updateFractionAccumulator = 0.0;
    int updateCount = 0;
    int changedUpdateCount = 0;
    int drawCount = 0;
    int sleepCount = 0;
    int presentCount = 0;
    // When the loop last asked the window system for events, and how often since it let a pass go without.
    double lastEventPumpMs = -1.0e9;
    int sleepCountAtPump = 0;
    int passesWithoutPump = 0;

    std::atomic<bool> loadingThreadStarted{false};
    std::atomic<bool> loadingThreadDone{false};
    bool loadingHandled = false;
    bool throttleWhileLoading = false;
    bool automaticLoading = true;
    bool screenSaverMode = false;
    bool singleInstance = true;

    // Window state.
    bool active = true;
    bool minimized = false;
    bool focused = true;
    int gamepadCount = 0;
    bool mouseInWindow = false;
    bool windowHidden = false;
    bool initialized = false;
    bool systemPopupShowing = false;

    // A font file (from the application's data) for the controls' text
    // when the system has no font installed.
    std::string fallbackFontFile;

    std::string demoFilePrefix = "quilloapp";
    std::string demoFileName = "quilloapp.dmo";
    std::map<std::string, std::string> stringTable;
    // Saturating 8-bit addition: entry i is min(i, 255).
    std::array<uint8_t, 512> addTable{};

    std::map<int, Dialog*> dialogMap;
    std::list<Dialog*> dialogList;

    // Declared before the objects that hold images, so it outlives them all.
    ImageRegistry imageRegistry;
    std::unique_ptr<WidgetManager> widgetManager;
    std::unique_ptr<NativeDisplay> display;
    std::shared_ptr<AudioOutput> audioOutput;
    std::unique_ptr<MusicInterface> musicInterface;
    std::unique_ptr<SoundManager> soundManager;
    std::unique_ptr<ResourceManager> resourceManager;

    static inline bool debugKeysEnabled = false;

protected:
    // Where the frame loop stands; see StepFrame.
    bool IsRefreshPacedActive() const;
    // The window cannot be seen (minimised, hidden, or the screen saver is
    // due): the loop only waits for events.
    bool IsIdleWhileHidden() const;
    // How long the loop sleeps at most while the window cannot be seen.
    static constexpr int kHiddenWaitMs = 250;
    // Lets the system blank the screen only while the game may be blanked.
    void UpdateScreenSaverAllowance();
    // Once a second: a windowed game whose screen saver is due stops
    // updating, drawing and presenting until the player is back.
    void CheckScreenSaverPause(double now);
    // How long the loop waits until it may draw again, at most one picture
    // per refresh of the display where presents do not wait for it; 0 or
    // less when it may draw now.
    double ScheduledDrawWaitMs(double now) const;
    void RunUpdateSequence(double updatesPerStep);
    void DeleteQueuedWidgets();
    void ReevaluateFocus();
    void HandleEvent(const PlatformEvent& event);
    void HandleMouseLeaveTimer();
    void RunMainThreadTasks();
    void WaitForLoadingThread();
    void ApplyVolumes();
    void SetMinimized(bool nowMinimized);
    // The work area of the display the window goes on: the one of the
    // remembered place, else the primary one.
    Rect WindowWorkArea();
    // The window's client size: the player's own while its frame fits the
    // work area, else the largest whole multiple of the picture that does.
    Point WindowSize();
    // Where the window's client area of that size goes: centred in the work
    // area, or the remembered place with the whole frame pulled inside it.
    Point WindowPlacement(Point size);
    // Asks a new window again to sit where its frame needs it, unless it is
    // settled, when it has moved to now or its frame has changed there; true
    // while the move is the window system's, not the player's.
    bool PlaceNewWindow(Point now, bool moved);
    void HandleActivation();
    // Releases every key the widget manager holds down (after a system popup).
    void ReleaseHeldKeys();
    // Demo recording and playback.
    virtual bool IsPlayingDemo() const { return demo.Playing(); }
    virtual bool IsRecordingDemo() const { return demo.Recording(); }
    // Applies the recorded input due at the current update.
    virtual void FeedDemoInput();
    void StartDemo(uint32_t tickSeed);
    void FinishDemo();
    // The fast-forward of a demo jump; true when it took this frame pass.
    bool StepDemoJump();
    bool HandlePlaybackKey(int key);
    // F3 (frame-rate display on or off) and F4 (its other mode); true when key is one of them.
    bool HandleFrameRateKey(int key);

    void OnDemoMouseMove(int x, int y) override;
    void OnDemoMouseButton(int x, int y, int clickCode, bool down) override;
    void OnDemoActivate(bool isActive) override;
    void OnDemoMinimize(bool isMinimized) override;
    void OnDemoKeyDown(int key) override;
    void OnDemoKeyUp(int key) override;
    void OnDemoKeyChar(int ch) override;
    void OnDemoClose() override;
    void OnDemoMouseEnter() override;
    void OnDemoMouseLeave(int x, int y) override;
    void OnDemoLoadingDone() override {}
    void OnDemoWheel(int notches) override;
    void OnDemoDisplay(bool isWindowed, int rate) override;

    SettingsAccess settings;
    DemoSession demo;
    DemoFileGateway files{demo};
    std::string commandLine;
    bool commandLineParsed = false;
    FrameworkParams frameworkParams;
    DemoPlaybackState playbackState;
    bool demoFastForward = false;
    double demoFastDrawMs = 0.0;
    bool previousExitClean = true;

    std::unique_ptr<Platform> platform;
    double startMs = 0.0;
    double lastMeasureMs = 0.0;
    double lastPresentMs = 0.0;
    // When the next picture may be drawn: one per refresh of the display.
    double nextScheduledDrawMs = 0.0;
    double lastPresentDurationMs = 0.0;
    double drawTimeMs = 0.0;
    double earliestDrawMs = 0.0;
    double lastPacingCheckMs = 0.0;
    double lastTimerMs = 0.0;
    double noCatchUpMs = 0.0;
    double autoQuitAtMs = 0.0;
    double lastInputMs = 0.0;
    int updatesWithoutDraw = 0;
    int pacingPasses = 0;
    int pacingStrikes = 0;
    bool refreshPacingBroken = false;
    // Moves of a newly made window that are taken as its placement, not as
    // the player's, while it does not sit where it was asked to; and the
    // frame it was last placed by.
    static constexpr int kPlacementTries = 3;
    int placementTries = kPlacementTries;
    WindowBorders placementBorders;
    bool updatedSinceDraw = false;
    bool lastDrawEmpty = false;
    bool forceRedraw = false;
    bool insideDraw = false;
    // What the draw passes changed since the screen was last presented.
    AreaList undrawnAreas;
    // Developer keys F3 and F4.
    FrameRateOverlay frameRate;
    bool displayLost = false;
    bool screenSaverPaused = false;
    double lastScreenSaverCheckMs = -1.0e12;
    double lastScreenSaverReadMs = -1.0e12;
    ScreenSaverInfo screenSaverInfo;
    double lastDisplayRetryMs = -1.0e12; // when a lost display was last remade
    bool closePending = false;
    bool closeQueued = false;
    bool loopRunning = false;
    // Read by the loading thread between resources.
    std::atomic<bool> shutdownStarted{false};
    bool settingsRead = false;
    bool windowedImpossible = false;
    bool fullScreenImpossible = false;
    bool fullScreenFailedOnce = false;
    bool errorFileStarted = false;
    bool dataInstalled = false;
    std::string outputFolder;
    bool mouseLeaveTracking = true;
    bool paused = false;
    bool displayOption = false;
    int mouseButtonsDown = 0;
    // Where the widgets last saw the mouse; a demo starts at (0, 0) too.
    int widgetMouseX = 0;
    int widgetMouseY = 0;

    std::deque<PlatformEvent> messageQueue;
    std::vector<Widget*> deleteQueue;
    std::mutex mainThreadTaskLock;
    std::vector<std::function<void()>> mainThreadTasks;
    std::thread loadingThread;
    std::atomic<int> loadingTasksExpected{0};
    std::atomic<int> loadingTasksDone{0};
};

} // namespace Quillo
