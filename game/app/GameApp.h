#pragma once

#include "framework/app/QuilloAppBase.h"
#include "game/board/BoardHost.h"
#include "game/board/GameResources.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace Quillo
{
class Dialog;
class MemoryImage;
} // namespace Quillo

namespace Spindrel
{

class Board;
class BoardPictures;
class DarkenWidget;
class GameRecords;
class LevelTables;
class MainMenuWidget;
class PlayerProfiles;
class SaveFolder;
class SelectStageWidget;
class TextTable;
class TitleScreen;

// The game's application object: Spindrel's identity and start-up defaults,
// its resource groups and loading pass, the flow between the title screen,
// the main menu, the stage selection and the board, and the game's texts,
// profiles and records. It is the board's host and gives every framework
// dialog the game's look.
class GameApp : public Quillo::QuilloAppBase, public BoardHost
{
public:
    GameApp();
    ~GameApp() override;

    void Init() override;
    void LoadingThreadBody() override;
    void OnLoadingFinished() override;
    // The game takes no command-line parameters.
    bool HandleParam(const std::string& name, const std::string& value) override;
    Quillo::Dialog* MakeDialog(int id, bool modal, const std::string& dialogTitle,
                               const std::string& text, const std::string& footer,
                               int buttonMode) override;
    void OnButtonPressed(int id) override;
    // A dialog takes the keys when it opens; closing it hands them to what
    // lies below it.
    void AddDialog(int id, Quillo::Dialog* dialog) override;
    bool CloseDialogById(int id) override;
    void OnActivated() override;
    void OnDeactivated() override;
    // The title screen tells the pad's buttons while a pad is there; a pad
    // that goes away in a level opens the in-game menu (once the window is
    // back in front, when it is not).
    void OnGamepadAdded() override;
    void OnGamepadRemoved() override;
    // A level still in play when the application closes is suspended, and
    // so is a won one, at the start of the level after it.
    void OnBeforeExit() override;

    // Screen flow; all on the main thread.
    void LeaveTitleScreen();
    void ShowMainMenu();
    void CloseMainMenu();
    void ShowSelectStage();
    void CloseSelectStage();
    void BackToMainMenuFromStages();
    void ReturnToMainMenu();

    // The game's own dialogs.
    void ShowAskDialog(int kind);
    void OpenNewPlayerDialog(int mode);
    // Registers a dialog under its id, sized w x h and centred on the window.
    void AddCentredDialog(int id, std::unique_ptr<Quillo::Dialog> dialog, int w, int h);
    // Registers a dialog at an exact place.
    void AddDialogAt(int id, std::unique_ptr<Quillo::Dialog> dialog, int x, int y, int w, int h);
    // Pauses the board when it is not paused already (dialogs from the menu).
    void PauseBoardForDialog();
    // A modal notice with one OK button, in front of every dialog until it
    // is answered; a game in play holds still until then.
    void ShowNotice(int headerText, const std::string& body);

    // Suspends the game in play into the player's ".sav"; false when it
    // could not be written (the caller tells the player). A lost game is
    // never saved: its score enters the high-score table instead, once.
    bool SuspendGame();
    // Deletes the player's ".sav"; false, with the player told, when it
    // stays (it would be offered again).
    bool DeleteSavedGame();

    // BoardHost.
    void PlaySound(BoardSound sound) override;
    void PlayMusic(int channel, int position, bool noLoop) override;
    void FadeInMusic(int channel, int position, double speed, bool noLoop) override;
    void FadeOutMusic(int channel, bool stopAtSilence, double speed) override;
    void StopMusic(int channel) override;
    std::string GetText(int n) override;
    int RandomInt() override;
    std::string PlayerFileName() override;
    int LoadHighestStageStart() override;
    void SaveHighestStageStart(int level) override;
    int EnterHighScore(int score) override;
    void ShowPauseOverlay(bool show) override;
    void ShowDialog(BoardDialog dialog) override;
    using QuilloAppBase::ShowDialog;

    // The game's state, for screens and dialogs.
    Board* GetBoard() { return board.get(); }
    TitleScreen* GetTitleScreen() { return titleScreen.get(); }
    MainMenuWidget* GetMainMenu() { return mainMenu.get(); }
    SelectStageWidget* GetSelectStage() { return selectStage.get(); }
    const GameResources& Res() const { return resources; }
    TextTable& Texts() { return *texts; }
    PlayerProfiles& Profiles() { return *profiles; }
    GameRecords& Records() { return *records; }
    LevelTables& Levels() { return *levels; }
    SaveFolder& Saves() { return *saves; }
    // The place the player took in the high-score table at the latest
    // game over or game end (0..9), or 1000 when none.
    int LastHighScorePlace() const { return lastHighScorePlace; }

    // Start of a new game at a stage (0-based), from the stage selection.
    void StartStage(int stageIndex);
    // Whether the current player has a suspended game.
    bool HasSavedGame();
    // A "Message" box with an OK button.
    void ShowWarning(const std::string& text);

    // The language the texts and the pictures with words are in ("en",
    // "de", ...), known once the texts are loaded.
    const std::string& Language() const { return language; }
    // Keeps the player's choice in the settings; it applies at the next start.
    void ChooseLanguage(const std::string& code);
    // Keeps the choice and takes it on at once: the texts, the framework's
    // button captions and the pictures with words; the main menu, when
    // shown, is made anew.
    void SwitchLanguage(const std::string& code);
    // The language the next start will use; empty when "bin//lng.opt"
    // decides.
    std::string NextLanguage();
    // An image path (without extension) of the language's set of pictures
    // with words when it has that picture, else the path itself.
    std::string LocalizedImagePath(const std::string& path) const;

private:
    // Opens the in-game menu as the pad's Start would, when a level is in play.
    void HoldGameForLostPad();
    // How the loading pass failed; read on the main thread once the
    // loading thread has ended.
    enum class LoadFailure
    {
        None,
        Resources,
        Picture,
        LevelFile,
    };

    // Loads the game's music track the first time `channel` names it.
    void LoadMusicOnFirstUse(int channel);
    bool LoadAndBind(const std::string& group, bool (GameResources::*bind)(Quillo::ResourceManager&));
    // Loads the text table of the player's language and points the
    // pictures with words at that language's set, where it has one.
    void LoadLanguage();
    bool AddMainMenu();
    // The focus to the topmost dialog, else the screen shown, when nothing
    // has it.
    void FocusTopmost();
    // The help screen, while it is shown over the main menu.
    Quillo::Widget* TopHelpScreen() const;
    void CreateBoard();
    // A won level not yet left (its bonus count running or its statistics
    // showing) goes on to the next level as the statistics' button does.
    void GoPastWonLevel();
    // Tells the player once when a file of the save folder cannot be
    // written (a full disk, a read-only folder); a later write that works
    // makes the next failure worth telling again.
    void OnSaveWritten(std::string_view name, bool written);
    // A lost game's score enters the table when its game-over text has run;
    // a game left or closed during the text enters it then.
    void EnterLostGameScore();

    GameResources resources;
    std::unique_ptr<TextTable> texts;
    std::unique_ptr<PlayerProfiles> profiles;
    std::unique_ptr<GameRecords> records;
    std::unique_ptr<LevelTables> levels;
    std::unique_ptr<SaveFolder> saves;
    // The ball faces, faded pictures and bonus icons, built by the loading
    // pass and handed to the board when it is made.
    std::unique_ptr<BoardPictures> pictures;

    std::unique_ptr<Board> board;
    std::unique_ptr<TitleScreen> titleScreen;
    std::unique_ptr<MainMenuWidget> mainMenu;
    std::unique_ptr<SelectStageWidget> selectStage;
    std::unique_ptr<DarkenWidget> pauseOverlay;
    std::string language = "en";
    // Image paths as the manifest lists them, before any language's set.
    std::map<std::string, std::string> listedImagePaths;
    int lastHighScorePlace = 1000;
    bool warningsHaveOwner = false;
    LoadFailure loadFailure = LoadFailure::None;
    // The file behind a Picture or LevelFile failure.
    std::string failedFile;
    bool saveFailureShown = false;
    // The open notice paused the board.
    bool noticeHoldsBoard = false;
    // A pad went away while the window was in the background.
    bool padLostWhileAway = false;
    // A write whose failure the caller reports itself.
    bool quietSaves = false;
    // The board's sounds and music are dropped while it plays on unseen.
    bool boardSilenced = false;
    bool gameTrackLoadTried = false;
};

// The one game application of the process.
extern GameApp* gGameApp;

} // namespace Spindrel
