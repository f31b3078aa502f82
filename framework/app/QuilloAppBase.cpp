#include "framework/app/QuilloAppBase.h"

#include "framework/app/RandomGenerator.h"
#include "framework/app/RandomInt.h"
#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundInstance.h"
#include "framework/audio/SoundManager.h"
#include "framework/diagnostics/CrashFilter.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/DisplayImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/SysFont.h"
#include "framework/platform/FileSystem.h"
#include "framework/platform/SdlPlatform.h"
#include "framework/platform/SystemClock.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace Quillo
{

QuilloAppBase* gApp = nullptr;

namespace
{

void DebugOutput(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
}

std::string Format(const char* fmt, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

std::string Format(const char* fmt, int value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

} // namespace

QuilloAppBase::QuilloAppBase()
{
    gApp = this;
    for (size_t i = 0; i < addTable.size(); ++i)
        addTable[i] = static_cast<uint8_t>(std::min<size_t>(i, 255));
    stringTable = {
        {"DIALOG_BUTTON_OK", "OK"},
        {"DIALOG_BUTTON_CANCEL", "CANCEL"},
        {"UPDATE_CHECK_TITLE", "Update Check"},
        {"UPDATE_CHECK_BODY", "Checking if there are any updates available for this product ..."},
        {"UP_TO_DATE_TITLE", "Up to Date"},
        {"UP_TO_DATE_BODY", "There are no updates available for this product at this time."},
        {"NEW_VERSION_TITLE", "New Version"},
        {"NEW_VERSION_BODY", "There is an update available for this product.  Would you like to "
                             "visit the web site to download it?"},
    };
    resourceManager = std::make_unique<ResourceManager>(this);
    productVersion = GetProductVersion(FileSystem::ExecutableDirectory());
    startMs = SystemClock::SteadyMs();
}

QuilloAppBase::~QuilloAppBase()
{
    Shutdown();
    FinishDemo();
    ClearCrashApplicationInfo();
    // The loading thread may still use the managers below, so it ends first.
    WaitForLoadingThread();
    for (auto& [id, dialog] : dialogMap)
    {
        if (widgetManager)
            widgetManager->RemoveWidget(dialog);
        delete dialog;
    }
    dialogMap.clear();
    dialogList.clear();
    DeleteQueuedWidgets();
    // Loaded images belong to the display; let them go while it still exists.
    if (resourceManager)
        resourceManager->DeleteResources("");
    widgetManager.reset();
    display.reset();
    musicInterface.reset();
    soundManager.reset();
    resourceManager.reset();
    if (platform)
        platform->DestroyWindow();
    platform.reset();
    if (gApp == this)
        gApp = nullptr;
}

void QuilloAppBase::Init()
{
    if (shutdownStarted)
        return;

    if (!platform)
    {
        std::string error;
        if (!desktopId.empty())
            SdlPlatform::SetDesktopId(desktopId);
        platform = SdlPlatform::Create(error);
        if (!platform)
        {
            SdlPlatform::ReportStartFailure(title + " cannot start its display: " + error, "FATAL ERROR");
            EndProcess(1);
        }
    }

    if (!commandLineParsed)
        ParseCommandLine();

    if (screenSaverMode)
        singleInstance = false;
    if (singleInstance && !platform->AcquireSingleInstance(productName))
    {
        platform->SignalRunningInstance(productName);
        EndProcess(0);
    }

    // A demo named on the command line is where the user started the
    // program, not in the folder the program moves to next.
    if (GetDemoMode() != DemoMode::None)
        demoFileName = FileSystem::AbsolutePath(demoFileName);
    const std::string dir = FileSystem::ExecutableDirectory();
    if (!KeepWorkingDirectory(dir))
        EnterDataFolder(dir);

    const uint32_t tick = platform->TickCount();
    RandomGenerator::Framework().Seed(tick);
    StartDemo(tick);
    // Every random source starts from the demo's seed while one records or
    // plays, so that playback takes the same choices.
    SeedRandomInt(GetDemoMode() == DemoMode::None ? tick : demo.Seed());
    LoadSettings();
    if (answersRendererProbe)
    {
        const std::string cache = registryKey.empty()
                                      ? std::string()
                                      : FileSystem::NormalizePath(FileSystem::CacheHome() + "/" + registryKey);
        platform->EnableRendererProbe(cache);
    }
    if (IsPlayingDemo())
    {
        savedMusicVolume = musicVolume;
        savedSfxVolume = sfxVolume;
    }
    SetCrashApplicationInfo(productName, productVersion, "", CrashThreadId());

    widgetManager = std::make_unique<WidgetManager>();
    widgetManager->SetHost(this);

    OnBeforeWindow();
    widgetManager->SetSize(width, height);

    const Rect desktop = platform->WorkArea();
    if (windowed && (width >= desktop.width || height >= desktop.height))
        windowed = false;

    CreateMainWindow();
    ApplyWindowIcon();

    if (IsPlayingDemo())
    {
        bool recordedWindowed = true;
        int recordedRate = 0;
        if (demo.Player()->TakeDisplay(recordedWindowed, recordedRate))
            OnDemoDisplay(recordedWindowed, recordedRate);
    }

    if (!soundManager)
        soundManager = CreateSoundManager();
    SetSfxVolume(sfxVolume);
    musicInterface = CreateMusicPlayer();
    SetMusicVolume(musicVolume);

    initialized = true;
}

void QuilloAppBase::SetSoundManager(std::unique_ptr<SoundManager> manager)
{
    soundManager = std::move(manager);
}

void QuilloAppBase::Start()
{
    if (shutdownStarted)
        return;

    if (automaticLoading)
    {
        throttleWhileLoading = true;
        loadingThreadStarted = true;
        loadingThread = std::thread([this] {
            PrepareCrashThread();
            LoadingThreadBody();
            const double now = SystemClock::SteadyMs();
            DebugOutput(Format("Resource Loading Time: %d\r\n",
                               static_cast<int>((now - startMs) / 1000.0)));
            loadingThreadDone = true;
        });
    }

    platform->ShowWindow();
    platform->RaiseWindow();
    windowHidden = false;
    platform->SetTimerResolution(true);
    const double now = platform->NowMs();
    lastMeasureMs = now;
    lastPresentMs = now;
    lastInputMs = now;
    lastTimerMs = now;
    lastPacingCheckMs = now;
    const double loopStart = now;

    // For scripted runs: QUILLO_AUTOQUIT_MS ends the run after that long,
    // writing the last frame to QUILLO_SCREENSHOT first when it is set.
    if (const char* quit = std::getenv("QUILLO_AUTOQUIT_MS"))
        autoQuitAtMs = now + std::atof(quit);

    loopRunning = true;
    RunLoop(-1);
    DeleteQueuedWidgets();
    loopRunning = false;
    WaitForLoadingThread();

    const double seconds = (platform->NowMs() - loopStart) / 1000.0;
    DebugOutput(Format("Seconds       = %g\r\n", seconds));
    DebugOutput(Format("Sleep Count   = %d\r\n", sleepCount));
    DebugOutput(Format("Update Count  = %d\r\n", updateCount));
    DebugOutput(Format("Draw Count    = %d\r\n", drawCount));
    DebugOutput(Format("Draw Time     = %d\r\n", static_cast<int>(drawTimeMs)));
    DebugOutput(Format("Screen Blt    = %d\r\n", static_cast<int>(lastPresentDurationMs)));
    if (drawTimeMs + lastPresentDurationMs > 0)
        DebugOutput(Format("Avg FPS       = %d\r\n",
                           static_cast<int>(drawCount * 1000.0 / (drawTimeMs + lastPresentDurationMs))));
    platform->SetTimerResolution(false);
    OnBeforeExit();
    SaveSettings();
}

void QuilloAppBase::RunLoop(int modalDialogId)
{
    // The watched dialog may be deleted by the update sequence that closes
    // it; its outcome says so before the dialog itself is read.
    Dialog* watched = nullptr;
    std::shared_ptr<const Dialog::Outcome> watchedOutcome;
    if (modalDialogId != -1)
    {
        watched = FindDialog(modalDialogId);
        if (!watched)
            return;
        watchedOutcome = watched->GetOutcome();
    }
    while (!shutdownStarted)
    {
        PumpPlatformEventsIfDue();
        if (IsPlayingDemo())
            FeedDemoInput();
        HandleQueuedEvents();
        RunMainThreadTasks();
        if (shutdownStarted)
            break;
        if (watchedOutcome && (!watchedOutcome->alive || watched->result != -1))
            break;
        if (autoQuitAtMs > 0.0 && platform->NowMs() >= autoQuitAtMs)
        {
            autoQuitAtMs = 0.0;
            if (const char* shot = std::getenv("QUILLO_SCREENSHOT"); shot && display)
                display->WriteScreenshot(shot);
            RequestClose();
        }
        StepFrame(true);
    }
}

void QuilloAppBase::WaitForLoadingThread()
{
    if (loadingThread.joinable())
        loadingThread.join();
}

void QuilloAppBase::PostToMainThread(std::function<void()> task)
{
    std::lock_guard<std::mutex> lock(mainThreadTaskLock);
    mainThreadTasks.push_back(std::move(task));
}

void QuilloAppBase::RunMainThreadTasks()
{
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> lock(mainThreadTaskLock);
        tasks.swap(mainThreadTasks);
    }
    for (auto& task : tasks)
        task();
}

void QuilloAppBase::EndProcess(int code)
{
    std::fflush(nullptr);
    std::_Exit(code);
}

void QuilloAppBase::Shutdown()
{
    if (shutdownStarted)
        return;
    shutdownStarted = true;
    if (IsPlayingDemo())
    {
        SetMusicVolume(savedMusicVolume);
        SetSfxVolume(savedSfxVolume);
    }
    if (musicInterface)
        musicInterface->StopAllTracks();
    if (platform && platform->HasWindow())
    {
        if (!physicallyWindowed)
            platform->InitPresenter(false, false);
        platform->HideWindow();
    }
    if (settingsRead)
        SaveSettings();
}

void QuilloAppBase::ClearTimeBacklog()
{
    timeAccumulator = 0.0;
    if (platform)
        lastMeasureMs = platform->NowMs();
}

void QuilloAppBase::DeleteLater(Widget* widget)
{
    if (widget && std::find(deleteQueue.begin(), deleteQueue.end(), widget) == deleteQueue.end())
        deleteQueue.push_back(widget);
}

void QuilloAppBase::DeleteQueuedWidgets()
{
    // A widget's destructor may queue further widgets; take them in turn.
    while (!deleteQueue.empty())
    {
        std::vector<Widget*> batch;
        batch.swap(deleteQueue);
        for (Widget* w : batch)
            delete w;
    }
}

double QuilloAppBase::GetLoadingProgress()
{
    if (loadingHandled)
        return 1.0;
    const int expected = loadingTasksExpected;
    if (!loadingThreadStarted || expected == 0)
        return 0.0;
    return std::min(1.0, static_cast<double>(loadingTasksDone) / expected);
}

// --- Dialog registry -------------------------------------------------------

Dialog* QuilloAppBase::MakeDialog(int, bool, const std::string&, const std::string&,
                                  const std::string&, int)
{
    return nullptr;
}

Dialog* QuilloAppBase::ShowDialog(int id, bool modal, const std::string& dialogTitle,
                                  const std::string& text, const std::string& footer,
                                  int buttonMode)
{
    CloseDialogById(id);
    Dialog* dialog = MakeDialog(id, modal, dialogTitle, text, footer, buttonMode);
    if (dialog)
        AddDialog(id, dialog);
    return dialog;
}

Dialog* QuilloAppBase::FindDialog(int id)
{
    auto it = dialogMap.find(id);
    return it == dialogMap.end() ? nullptr : it->second;
}

void QuilloAppBase::AddDialog(int id, Dialog* dialog)
{
    CloseDialogById(id);
    dialogMap[id] = dialog;
    dialogList.push_back(dialog);
    widgetManager->AddWidget(dialog);
    if (dialog->IsModal())
    {
        widgetManager->SetBaseModal(dialog);
        OnModalOpened();
    }
}

void QuilloAppBase::CloseDialog(Dialog* dialog)
{
    CloseDialogById(dialog->id);
}

bool QuilloAppBase::CloseDialogById(int id)
{
    auto it = dialogMap.find(id);
    if (it == dialogMap.end())
        return false;
    Dialog* dialog = it->second;
    if (dialog->result == -1)
        dialog->result = 0;
    if (dialog->IsModal())
        OnModalClosed();
    widgetManager->RemoveWidget(dialog);
    dialogList.remove(dialog);
    DeleteLater(dialog);
    dialogMap.erase(it);
    if (!widgetManager->GetBaseModal())
    {
        for (auto rit = dialogList.rbegin(); rit != dialogList.rend(); ++rit)
        {
            if ((*rit)->IsModal())
            {
                widgetManager->SetBaseModal(*rit);
                break;
            }
        }
    }
    return true;
}

// --- Volumes and muting ----------------------------------------------------

void QuilloAppBase::ApplyVolumes()
{
    if (musicInterface)
        musicInterface->SetMasterMusicVolume(IsMuted() ? 0.0 : musicVolume);
    if (soundManager)
        soundManager->SetEffectsVolume(IsMuted() ? 0.0 : sfxVolume);
}

void QuilloAppBase::SetMusicVolume(double v)
{
    musicVolume = std::clamp(v, 0.0, 1.0);
    if (musicInterface)
        musicInterface->SetMasterMusicVolume(IsMuted() ? 0.0 : musicVolume);
}

void QuilloAppBase::SetSfxVolume(double v)
{
    sfxVolume = std::clamp(v, 0.0, 1.0);
    if (soundManager)
        soundManager->SetEffectsVolume(IsMuted() ? 0.0 : sfxVolume);
}

void QuilloAppBase::SetSystemSoundVolume(double v)
{
    sfxVolume = std::clamp(v, 0.0, 1.0);
    if (soundManager)
        soundManager->SetSystemVolume(sfxVolume);
}

double QuilloAppBase::GetSystemSoundVolume()
{
    return soundManager ? soundManager->GetSystemVolume() : 1.0;
}

void QuilloAppBase::Mute(bool automatic)
{
    ++muteCount;
    if (automatic)
        ++autoMuteCount;
    ApplyVolumes();
}

void QuilloAppBase::Unmute(bool automatic)
{
    if (muteCount <= 0)
        return;
    --muteCount;
    if (automatic && autoMuteCount > 0)
        --autoMuteCount;
    ApplyVolumes();
}

void QuilloAppBase::PlaySoundEffectPanned(int id, int pan)
{
    if (!soundManager)
        return;
    SoundInstance* instance = soundManager->NewInstance(id);
    if (!instance)
        return;
    instance->SetPan(pan);
    instance->Play(false, true);
}

void QuilloAppBase::PlaySoundEffect(int id)
{
    if (!soundManager)
        return;
    SoundInstance* instance = soundManager->NewInstance(id);
    if (instance)
        instance->Play(false, true);
}

// --- Boxes, errors, links --------------------------------------------------

void QuilloAppBase::BeginSystemPopup()
{
    systemPopupShowing = true;
    // A box opened from a mouse handler would otherwise run under the
    // capture (an active grab on X11), and only the keyboard could answer it.
    if (platform)
        platform->CaptureMouse(false);
}

void QuilloAppBase::EndSystemPopup()
{
    systemPopupShowing = false;
    if (platform)
        platform->FlushInput();
    ClearTimeBacklog();
    ReleaseHeldKeys();
}

void QuilloAppBase::ReleaseHeldKeys()
{
    // The box took the releases of keys held when it opened. They are
    // released as a real release would be, and recorded as such, so that a
    // playback (which shows no box) releases them at the same update.
    if (!widgetManager || IsPlayingDemo())
        return;
    for (size_t key = 0; key < widgetManager->keyDown.size(); ++key)
    {
        if (!widgetManager->keyDown[key])
            continue;
        demo.RecordKeyUp(static_cast<int>(key));
        widgetManager->KeyUp(static_cast<int>(key));
    }
}

int QuilloAppBase::ShowMessageBox(const std::string& text, const std::string& caption,
                                  MessageBoxKind kind)
{
    if (screenSaverMode)
    {
        LogToErrorFile(text);
        return 1;
    }
    if (!platform)
    {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        return kind == MessageBoxKind::YesNo ? 6 : 1;
    }
    BeginSystemPopup();
    const int answer = platform->ShowMessageBox(text, caption, kind);
    EndSystemPopup();
    return answer;
}

void QuilloAppBase::ShowFatalError(const std::string& text)
{
    if (shutdownStarted)
        return;
    ShowMessageBox(text, "FATAL ERROR", MessageBoxKind::Error);
}

void QuilloAppBase::LogToErrorFile(const std::string& text)
{
    const std::string file = outputFolder + "ScrError.txt";
    const std::tm local = SystemClock::LocalNow();
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    const std::string line =
        text + " " + clock + " " + std::to_string(platform ? platform->TickCount() : 0u) + "\n";
    // The first line of a run empties the file.
    const bool ok = errorFileStarted ? FileSystem::AppendFile(file, line)
                                     : FileSystem::WriteFileAtomic(file, line);
    if (ok)
        errorFileStarted = true;
}

void QuilloAppBase::OpenUrl(const std::string& url)
{
    if (platform)
        platform->OpenUrl(url);
}

std::string QuilloAppBase::GetProductVersion(const std::string& path)
{
    // The version is compiled in; only the program's own folder has one.
    return path == FileSystem::ExecutableDirectory() ? std::string(QUILLO_VERSION) : std::string();
}

std::string QuilloAppBase::DescribeRun()
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s %s: %d updates, %d draws, %s, %s", productName.c_str(),
                  productVersion.c_str(), updateCount, drawCount,
                  physicallyWindowed ? "windowed" : "full screen",
                  loadingHandled ? "loaded" : "loading");
    return buf;
}

void QuilloAppBase::HideApp()
{
    if (musicInterface)
        musicInterface->SetMasterMusicVolume(0.0);
    if (platform)
        platform->HideWindow();
    windowHidden = true;
    ApplyCursor();
}

void QuilloAppBase::OnAppGotFocus() {}

void QuilloAppBase::OnAppLostFocus()
{
    if (screenSaverMode)
        Shutdown();
}

bool QuilloAppBase::KeepWorkingDirectory(const std::string&)
{
    return false;
}

void QuilloAppBase::LoadResourceManifest()
{
    if (!resourceManager->ParseResourcesFile("properties/resources.xml"))
        ShowResourceError(true);
}

void QuilloAppBase::ShowResourceError(bool exit)
{
    ShowFatalError(resourceManager->GetErrorText());
    if (exit)
        EndProcess(0);
}

std::unique_ptr<MemoryImage> QuilloAppBase::LoadDisplayImage(const std::string& path)
{
    std::unique_ptr<ImageLib::Image> loaded = ImageLib::GetImage(path, true);
    if (!loaded)
        return nullptr;
    auto image = std::make_unique<MemoryImage>(imageRegistry);
    image->SetBits(loaded->bits.get(), loaded->width, loaded->height);
    return image;
}

std::unique_ptr<Font> QuilloAppBase::MakeSystemFont(const std::string& face, int pointSize, bool bold)
{
    auto font = std::make_unique<SysFont>(face, pointSize, 0, bold);
    // With no installed face the controls would lose their text: the
    // application's own copy of a face stands in.
    if (!font->IsLoaded() && !fallbackFontFile.empty())
        font = std::make_unique<SysFont>(fallbackFontFile, pointSize, 0, bold);
    return font;
}

std::unique_ptr<MemoryImage> QuilloAppBase::CreateDisplayImage()
{
    if (display)
        return std::make_unique<DisplayImage>(*display);
    return std::make_unique<MemoryImage>(imageRegistry);
}

std::string QuilloAppBase::GetClipboardText()
{
    return platform ? platform->ClipboardText() : std::string();
}

void QuilloAppBase::SetClipboardText(const std::string& text)
{
    if (platform)
        platform->SetClipboardText(text);
}

void QuilloAppBase::SetCursorKind(int kind)
{
    if (kind != cursorKind)
    {
        cursorKind = kind;
        ApplyCursor();
    }
}

} // namespace Quillo
