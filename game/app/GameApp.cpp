#include "game/app/GameApp.h"

#include "framework/app/RandomInt.h"
#include "framework/audio/MusicInterface.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resources/ResourceManager.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/KeyCode.h"
#include "framework/widgets/WidgetManager.h"
#include "game/app/GameRecords.h"
#include "game/app/LevelTables.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/PlayerProgress.h"
#include "game/app/SaveFolder.h"
#include "game/app/SavedGameFiles.h"
#include "game/app/StartupLog.h"
#include "game/app/TextTable.h"
#include "game/board/Board.h"
#include "game/board/BoardPictures.h"
#include "game/board/TextFormat.h"
#include "game/screens/DarkenWidget.h"
#include "game/screens/GameDialog.h"
#include "game/screens/GameOverDialog.h"
#include "game/screens/HelpWidget.h"
#include "game/screens/MainMenuWidget.h"
#include "game/screens/NewPlayerDialog.h"
#include "game/screens/SelectStageWidget.h"
#include "game/screens/StatDialog.h"
#include "game/screens/TitleScreen.h"

namespace Spindrel
{

GameApp* gGameApp = nullptr;

namespace
{
constexpr int kTitleLinkText = 4;
constexpr int kMusicTrackMenu = 0;
constexpr int kMusicTrackGame = 1;
constexpr double kMenuMusicFadeSpeed = 0.2;
constexpr int kOptionsWarningDialog = 6;
constexpr int kNoticeDialog = 8;
constexpr int kOkText = 16;
constexpr int kSaveFailedTitleText = 74;
constexpr int kSaveFailedText = 75;
constexpr int kGameNotSavedText = 77;
constexpr int kNotDeletedTitleText = 78;
constexpr int kNotDeletedText = 79;
const char* const kMusicFile = "music/music.mo3";
} // namespace

GameApp::GameApp()
    : texts(std::make_unique<TextTable>()),
      profiles(std::make_unique<PlayerProfiles>()),
      records(std::make_unique<GameRecords>()),
      levels(std::make_unique<LevelTables>()),
      saves(std::make_unique<SaveFolder>(std::string())),
      pictures(std::make_unique<BoardPictures>())
{
    gGameApp = this;
    productName = "Spindrel";
    productVersion = "1.0";
    title = productName + " " + productVersion + " by Tolvane Entertainment";
    registryKey = "Tolvane\\Spindrel";
    // Set by the build from the install layout ("../share/spindrel").
    installedDataPath = SPINDREL_INSTALLED_DATA;
    desktopId = "com.tolvane.Spindrel";
    windowIconPath = "gfx/icon.png";
    width = 800;
    height = 600;
    windowed = false;
    refreshPaced = true;
    auto3DRequest = true;
    fallbackFontFile = "gfx/fonts/DejaVuSans.ttf";
}

GameApp::~GameApp()
{
    if (board)
    {
        if (board->manager != nullptr)
            board->manager->RemoveWidget(board.get());
        board.reset();
    }
    if (mainMenu)
    {
        if (mainMenu->manager != nullptr)
            mainMenu->manager->RemoveWidget(mainMenu.get());
        DeleteLater(mainMenu.release());
    }
    if (pauseOverlay && pauseOverlay->manager != nullptr)
        pauseOverlay->manager->RemoveWidget(pauseOverlay.get());
    pauseOverlay.reset();
    if (selectStage && selectStage->manager != nullptr)
        selectStage->manager->RemoveWidget(selectStage.get());
    selectStage.reset();
    if (titleScreen && titleScreen->manager != nullptr)
        titleScreen->manager->RemoveWidget(titleScreen.get());
    titleScreen.reset();
    DeleteQueuedWidgets();
    if (resourceManager)
    {
        resourceManager->DeleteResources("MainMenu");
        resourceManager->DeleteResources("");
    }
    if (gGameApp == this)
        gGameApp = nullptr;
}

bool GameApp::HandleParam(const std::string&, const std::string&)
{
    return true;
}

void GameApp::ShowWarning(const std::string& text)
{
    // Before the loading hand-over the box has no owner window; the
    // platform shows it either way.
    ShowMessageBox(text, "Message", Quillo::MessageBoxKind::Ok);
}

bool GameApp::LoadAndBind(const std::string& group,
                          bool (GameResources::*bind)(Quillo::ResourceManager&))
{
    return resourceManager->LoadResources(group) && (resources.*bind)(*resourceManager);
}

void GameApp::Init()
{
    QuilloAppBase::Init();
    if (shutdownStarted)
        return;
    // The base has made the data folder the working directory.
    *saves = SaveFolder::Locate(IsDataInstalled(), Files());
    SetOutputFolder(saves->Root());
    // A game killed while saving may have left a temporary file; the file
    // it was replacing is whole.
    saves->RemoveLeftovers();
    saves->ObserveWrites([this](std::string_view name, bool written) { OnSaveWritten(name, written); });
    LoadResourceManifest();

    LoadLanguage();

    if (!LoadAndBind("Init", &GameResources::BindGroupInit) ||
        !LoadAndBind("TitleScreen", &GameResources::BindGroupTitleScreen))
    {
        RequestClose();
        ShowResourceError(true);
        return;
    }
    cursorImages[0] = resources.IMAGE_CUSTOM_POINTER;
    cursorImages[1] = resources.IMAGE_CUSTOM_HAND;
    cursorImages[2] = resources.IMAGE_CUSTOM_DRAGGING;
    cursorImages[3] = resources.IMAGE_CUSTOM_TEXT;

    titleScreen = std::make_unique<TitleScreen>(*this);
    titleScreen->Resize(0, 0, width, height);
    auto link = std::make_unique<Quillo::HyperlinkWidget>(TitleScreen::kLinkId, titleScreen.get());
    link->SetFont(resources.FONT_DEFAULT);
    link->label = GetText(kTitleLinkText);
    link->color = Quillo::Color::White;
    link->overColor = Quillo::Color(255, 0, 0);
    // The button colours tell the widget that hovering changes its look,
    // so that it is redrawn when the mouse comes and goes.
    link->SetColor(0, link->color);
    link->SetColor(1, link->overColor);
    link->underlineOffset = 2;
    titleScreen->SetLink(std::move(link));
    widgetManager->AddWidget(titleScreen.get());
    widgetManager->SetFocus(titleScreen.get());

    if (musicInterface)
    {
        musicInterface->LoadTrack(kMusicTrackMenu, kMusicFile);
        musicInterface->FadeInTrack(kMusicTrackMenu, 0, kMenuMusicFadeSpeed, false);
    }
    SetLoadingTaskCount(resourceManager->CountResources("Game"));
}

void GameApp::LoadingThreadBody()
{
    // A failure is only recorded here: the main thread acts on it in
    // OnLoadingFinished, which runs after this has returned, so the
    // hand-over can never run ahead of a failed start's close.
    resourceManager->StartLoadResources("Game");
    while (resourceManager->LoadNextResource())
    {
        AddLoadingTasksDone(1);
        if (IsShuttingDown())
            return;
    }
    if (resourceManager->HadError() || !resources.BindGroupGame(*resourceManager))
    {
        loadFailure = LoadFailure::Resources;
        return;
    }

    const std::string missing = pictures->Build(resources.spr_picBack, "");
    if (!missing.empty())
    {
        loadFailure = LoadFailure::Picture;
        failedFile = missing;
        return;
    }

    StartupLog::OpenLog(saves->FilePath("log.txt"), Files());
    // Without the levels there is no game to play; the player is told which
    // file stopped it, at the hand-over.
    if (!levels->LoadLevelOrder())
    {
        loadFailure = LoadFailure::LevelFile;
        failedFile = "levels\\levelOrder.txt";
        return;
    }
    if (!levels->LoadLevelTable())
    {
        loadFailure = LoadFailure::LevelFile;
        failedFile = "levels\\levelsTable.txt";
    }
}

void GameApp::OnLoadingFinished()
{
    warningsHaveOwner = true;
    switch (loadFailure)
    {
    case LoadFailure::None:
        break;
    case LoadFailure::Resources:
        ShowResourceError(false);
        RequestClose();
        Shutdown();
        return;
    case LoadFailure::Picture:
    case LoadFailure::LevelFile:
        RequestClose();
        ShowWarning("There was an error loading the file: " + failedFile);
        return;
    }
    if (closePending)
        return;
    if (titleScreen)
        titleScreen->ShowLink();
    records->Load(*saves);
    records->Save(*saves);
    profiles->Load(*saves);
}

Quillo::Dialog* GameApp::MakeDialog(int id, bool modal, const std::string& dialogTitle,
                                    const std::string& text, const std::string& footer,
                                    int buttonMode)
{
    auto dialog = std::make_unique<GameDialog>(*this, id, dialogTitle, text, footer, buttonMode);
    dialog->modal = modal;
    dialog->contentInsets = {24, 24, 24, 24};
    dialog->Resize(100, 100, 600, 300);
    // The framework's dialogs only inform: Escape closes them as OK does.
    dialog->SetEscapeButton(GameDialog::EscapeButton::First);
    // Ownership passes to the dialog registry, which deletes it when closed.
    return dialog.release();
}

void GameApp::OnButtonPressed(int id)
{
    if (id == kOptionsWarningDialog + Quillo::Dialog::kFirstButtonOffset)
        CloseDialogById(kOptionsWarningDialog);
    if (id == kNoticeDialog + Quillo::Dialog::kFirstButtonOffset)
        CloseDialogById(kNoticeDialog);
}

void GameApp::OnSaveWritten(std::string_view name, bool written)
{
    if (written)
    {
        saveFailureShown = false;
        return;
    }
    StartupLog::LogPrint("Could not write %.*s\n", static_cast<int>(name.size()), name.data());
    if (quietSaves || saveFailureShown || !widgetManager)
        return;
    saveFailureShown = true;
    ShowNotice(kSaveFailedTitleText, FormatString(GetText(kSaveFailedText), name));
}

void GameApp::ShowNotice(int headerText, const std::string& body)
{
    if (!widgetManager)
        return;
    CloseDialogById(kNoticeDialog);
    // Paused before the notice opens, so that the pause shade lies under it.
    if (board && board->Logic().IsActive())
    {
        board->SetPaused(true);
        noticeHoldsBoard = true;
    }
    ShowDialog(kNoticeDialog, true, GetText(headerText), body, GetText(kOkText),
               Quillo::Dialog::kButtonFooter);
}

void GameApp::AddDialog(int id, Quillo::Dialog* dialog)
{
    QuilloAppBase::AddDialog(id, dialog);
    if (!widgetManager || FindDialog(id) != dialog)
        return;
    // A notice raised while a dialog was being made (the statistics write
    // the records, the game over the high score) stays in front of it.
    Quillo::Dialog* notice = FindDialog(kNoticeDialog);
    if (notice != nullptr && notice != dialog)
    {
        widgetManager->BringToFront(notice);
        notice->Invalidate();
        dialogList.remove(notice);
        dialogList.push_back(notice);
        widgetManager->SetBaseModal(notice);
        dialog = notice;
    }
    widgetManager->SetFocus(dialog);
}

bool GameApp::CloseDialogById(int id)
{
    const bool closed = QuilloAppBase::CloseDialogById(id);
    if (closed && id == kNoticeDialog && noticeHoldsBoard)
    {
        noticeHoldsBoard = false;
        if (board)
            board->SetPaused(false);
    }
    if (closed)
        FocusTopmost();
    return closed;
}

void GameApp::FocusTopmost()
{
    if (!widgetManager || widgetManager->focusWidget != nullptr)
        return;
    Quillo::Widget* target = nullptr;
    if (!dialogList.empty())
    {
        target = dialogList.back();
        // The name dialog types into its field.
        if (auto* name = dynamic_cast<NewPlayerDialog*>(target))
            target = &name->Edit();
    }
    else if (auto* help = TopHelpScreen())
        target = help;
    else if (selectStage)
        target = selectStage.get();
    else if (mainMenu)
        target = mainMenu.get();
    else if (titleScreen)
        target = titleScreen.get();
    else if (board && board->Logic().IsActive())
        target = board.get();
    if (target != nullptr)
        widgetManager->SetFocus(target);
}

Quillo::Widget* GameApp::TopHelpScreen() const
{
    for (Quillo::Widget* w : widgetManager->Widgets())
        if (dynamic_cast<HelpWidget*>(w) != nullptr)
            return w;
    return nullptr;
}

void GameApp::OnActivated()
{
    QuilloAppBase::OnActivated();
    if (board)
        board->SetPaused(false);
    if (padLostWhileAway)
    {
        padLostWhileAway = false;
        HoldGameForLostPad();
    }
}

void GameApp::OnGamepadAdded()
{
    QuilloAppBase::OnGamepadAdded();
    if (titleScreen)
        titleScreen->InvalidateFull();
}

void GameApp::OnGamepadRemoved()
{
    QuilloAppBase::OnGamepadRemoved();
    if (titleScreen)
        titleScreen->InvalidateFull();
    // The focus-loss pause ends when the window comes back; the game must
    // still wait for whoever held the pad then.
    if (!focused)
        padLostWhileAway = true;
    else
        HoldGameForLostPad();
}

void GameApp::HoldGameForLostPad()
{
    // A playing demo has its own keys; a recording gets the press as typed.
    if (IsPlayingDemo() || !board || !widgetManager || widgetManager->focusWidget != board.get())
        return;
    const BoardLogic& logic = board->Logic();
    if (!logic.IsActive() || logic.GetPath().editMode || logic.State().pauseDepth > 0)
        return;
    QueueKeyPress(Quillo::KeyCode::Escape);
}

void GameApp::OnDeactivated()
{
    QuilloAppBase::OnDeactivated();
    if (board)
        board->SetPaused(true);
}

void GameApp::OnBeforeExit()
{
    QuilloAppBase::OnBeforeExit();
    // Closing the window (or logging out, or a terminate signal) in the
    // middle of a level suspends the game as leaving it through the menu
    // does, so that Start offers to continue it.
    if (!board || IsPlayingDemo())
        return;
    GoPastWonLevel();
    const BoardLogic& logic = board->Logic();
    const GameState& s = logic.State();
    if (!logic.IsActive() || logic.GetPath().editMode || s.levelComplete)
        return;
    if (!SuspendGame())
        ShowWarning(GetText(kGameNotSavedText));
}

bool GameApp::SuspendGame()
{
    if (!board)
        return true;
    if (board->Logic().State().gameOver)
    {
        EnterLostGameScore();
        return true;
    }
    // The editor's track has no file, so a game saved on it could never be
    // continued: leaving the editor keeps no game, as closing does.
    if (board->Logic().GetPath().editMode)
        return true;
    quietSaves = true;
    const bool saved = SavedGameFiles::SaveGame(*saves, PlayerFileName(), board->Logic().SaveState());
    quietSaves = false;
    return saved;
}

void GameApp::EnterLostGameScore()
{
    // The game-over dialog opens as the score is entered, and the game ends
    // with it.
    const GameState& s = board->Logic().State();
    if (s.gameOver && dynamic_cast<GameOverDialog*>(FindDialog(GameOverDialog::kDialogId)) == nullptr)
        EnterHighScore(s.score);
}

bool GameApp::DeleteSavedGame()
{
    const std::string player = PlayerFileName();
    if (SavedGameFiles::DeleteGame(*saves, player))
        return true;
    ShowNotice(kNotDeletedTitleText,
               FormatString(GetText(kNotDeletedText), SavedGameFiles::GameFileName(player)));
    return false;
}

void GameApp::GoPastWonLevel()
{
    BoardLogic& logic = board->Logic();
    const GameState& s = logic.State();
    if (!logic.IsActive() || !s.levelComplete || s.gameOver)
        return;
    // The bonus count of a won level runs to its end, paused or not, so
    // that its points, its record and (after the last level) its high
    // score are entered as in play; nobody hears it, nor the next level's
    // music.
    constexpr int kMaxFinishSteps = 100000;
    boardSilenced = true;
    for (int step = 0; step < kMaxFinishSteps && (s.counting || s.levelDone); ++step)
        logic.LogicStep(0.01f);
    if (auto* stat = dynamic_cast<StatDialog*>(FindDialog(StatDialog::kDialogId)))
        stat->GoToNextLevel();
    boardSilenced = false;
}

// --- Screen flow -----------------------------------------------------------

void GameApp::CreateBoard()
{
    board = std::make_unique<Board>(*this, resources);
    board->Logic().SetLevelData(levels->Data());
    board->SetPictures(std::move(*pictures));
    board->Resize(0, 0, width, height);
    widgetManager->AddWidget(board.get());
    board->Logic().SetActive(false);
}

bool GameApp::AddMainMenu()
{
    if (!LoadAndBind("MainMenu", &GameResources::BindGroupMainMenu))
    {
        RequestClose();
        ShowResourceError(true);
        return false;
    }
    mainMenu = std::make_unique<MainMenuWidget>(*this);
    mainMenu->Resize(0, 0, width, height);
    widgetManager->AddWidget(mainMenu.get());
    return true;
}

void GameApp::LeaveTitleScreen()
{
    if (titleScreen)
    {
        widgetManager->RemoveWidget(titleScreen.get());
        DeleteLater(titleScreen.release());
    }
    resourceManager->DeleteResources("TitleScreen");
    CreateBoard();
    AddMainMenu();
}

void GameApp::ShowMainMenu()
{
    if (board)
        board->Logic().SetActive(false);
    if (!mainMenu)
        AddMainMenu();
}

void GameApp::CloseMainMenu()
{
    if (!mainMenu)
        return;
    widgetManager->RemoveWidget(mainMenu.get());
    DeleteLater(mainMenu.release());
    resourceManager->DeleteResources("MainMenu");
}

void GameApp::ShowSelectStage()
{
    CloseMainMenu();
    if (!LoadAndBind("SelectStage", &GameResources::BindGroupSelectStage))
    {
        RequestClose();
        ShowResourceError(true);
        return;
    }
    selectStage = std::make_unique<SelectStageWidget>(*this, LoadHighestStageStart());
    selectStage->Resize(0, 0, width, height);
    widgetManager->AddWidget(selectStage.get());
    widgetManager->SetFocus(selectStage.get());
}

void GameApp::CloseSelectStage()
{
    if (!selectStage)
        return;
    widgetManager->RemoveWidget(selectStage.get());
    DeleteLater(selectStage.release());
    resourceManager->DeleteResources("SelectStage");
}

void GameApp::BackToMainMenuFromStages()
{
    CloseSelectStage();
    ShowMainMenu();
}

void GameApp::StartStage(int stageIndex)
{
    CloseSelectStage();
    if (!board)
        return;
    board->Logic().SetActive(true);
    widgetManager->SetFocus(board.get());
    board->NewGameAtStage(stageIndex);
}

void GameApp::ReturnToMainMenu()
{
    StopMusic(kMusicTrackMenu);
    StopMusic(kMusicTrackGame);
    FadeInMusic(kMusicTrackMenu, 0, kMenuMusicFadeSpeed, false);
    if (board)
        board->SetPaused(false);
    ShowMainMenu();
}

bool GameApp::HasSavedGame()
{
    return SavedGameFiles::HasGame(*saves, PlayerFileName());
}

// --- Dialog placement ------------------------------------------------------

void GameApp::AddDialogAt(int id, std::unique_ptr<Quillo::Dialog> dialog, int x, int y, int w, int h)
{
    dialog->Resize(x, y, w, h);
    Quillo::Dialog* raw = dialog.release();
    // The registry owns it from here and deletes it when it is closed.
    AddDialog(id, raw);
    widgetManager->SetFocus(raw);
}

void GameApp::AddCentredDialog(int id, std::unique_ptr<Quillo::Dialog> dialog, int w, int h)
{
    AddDialogAt(id, std::move(dialog), (width - w) / 2, (height - h) / 2, w, h);
}

void GameApp::PauseBoardForDialog()
{
    if (board && board->Logic().State().pauseDepth < 1)
        board->SetPaused(true);
}

// --- BoardHost -------------------------------------------------------------

void GameApp::PlaySound(BoardSound sound)
{
    if (boardSilenced)
        return;
    const int32_t id = SoundHandle(resources, sound);
    if (id >= 0)
        PlaySoundEffect(id);
}

void GameApp::LoadMusicOnFirstUse(int channel)
{
    // The title plays only the menu's track; parsing the module a second
    // time at start-up held back the window by as long again.
    if (channel != kMusicTrackGame || gameTrackLoadTried || !musicInterface)
        return;
    gameTrackLoadTried = true;
    musicInterface->LoadTrack(kMusicTrackGame, kMusicFile);
}

void GameApp::PlayMusic(int channel, int position, bool noLoop)
{
    if (boardSilenced)
        return;
    LoadMusicOnFirstUse(channel);
    if (musicInterface)
        musicInterface->PlayTrack(channel, position, noLoop);
}

void GameApp::FadeInMusic(int channel, int position, double speed, bool noLoop)
{
    if (boardSilenced)
        return;
    LoadMusicOnFirstUse(channel);
    if (musicInterface)
        musicInterface->FadeInTrack(channel, position, speed, noLoop);
}

void GameApp::FadeOutMusic(int channel, bool stopAtSilence, double speed)
{
    if (boardSilenced)
        return;
    if (musicInterface)
        musicInterface->FadeOutTrack(channel, stopAtSilence, speed);
}

void GameApp::StopMusic(int channel)
{
    if (musicInterface)
        musicInterface->StopTrack(channel);
}

std::string GameApp::GetText(int n)
{
    return texts->GetText(n);
}

int GameApp::RandomInt()
{
    return Quillo::RandomInt();
}

std::string GameApp::PlayerFileName()
{
    return profiles->FileName();
}

int GameApp::LoadHighestStageStart()
{
    return PlayerProgress::Load(*saves, PlayerFileName());
}

void GameApp::SaveHighestStageStart(int level)
{
    PlayerProgress::Save(*saves, PlayerFileName(), level);
}

int GameApp::EnterHighScore(int score)
{
    lastHighScorePlace = records->EnterHighScore(profiles->CurrentName(), score);
    records->Save(*saves);
    return lastHighScorePlace;
}

} // namespace Spindrel
