// The story-scene runtime: the message window with typewriter text, the
// background and event pictures with their transitions, and the choices.
// The script commands call it; ADV_Update runs its frame.
#pragma once
#include <cstdint>

enum : int {
  AVG_CHOICES = 4,
  AVG_CHOICE_TEXT = 64,
  // Fixed screen layout.
  AVG_SPR_PICTURE = 0,
  AVG_SPR_INCOMING = 1,
  AVG_SPR_WINDOW = 12,
  AVG_SPR_WAIT_MARK = 13,  // the click-wait mark after the message's end
  AVG_SPR_FRAME_TOP = 52,
  AVG_SPR_FRAME_MIDDLE = 53,
  AVG_SPR_FRAME_BOTTOM = 54,
  AVG_SPR_HIGHLIGHT = 55,
  AVG_TXT_MESSAGE = 4,
  AVG_TXT_AUTO = 5,  // the auto-mode sign on the window
  AVG_TXT_CHOICE0 = 24,
  AVG_IMG_PICTURE = 0,
  AVG_IMG_INCOMING = 1,
  AVG_IMG_PATTERN = 2,
  AVG_IMG_WINDOW = 100,
  AVG_IMG_WAIT_MARK = 101,  // "wait00.bmp": frames of 16 x 16 side by side
  AVG_ZONE_GROUP = 1,
};

struct SceneState {
  // Message.
  int32_t shown;  // a message has been shown in this scene
  int32_t revealPos;
  int32_t revealTarget;
  int32_t revealing;
  int32_t windowVisible;
  // Picture transition.
  int32_t transRunning;
  int32_t transEffect;
  int32_t transDuration;  // the command's value
  int32_t transCounter;
  int32_t transLength;  // frames, as worked out in the last update
  // Choices.
  char choices[AVG_CHOICES][AVG_CHOICE_TEXT];
  int32_t choiceCount;
  int32_t choicesOpen;
  int32_t lastHovered;
  // The end of the scene was asked for (the script ran out, or the menu's
  // next-stage command); ADV_Update ends the scene on it.
  int32_t nextStageRequest;
  // A scene is running (AVG_StartScene until it ends).
  int32_t active;
  // The message on show: its hash, its length without markup, whether it
  // had been seen before, and the frames it has waited fully shown.
  uint32_t msgHash;
  int32_t msgLength;
  int32_t msgRead;
  int32_t autoCounter;
  int32_t autoSignMade;  // text record AVG_TXT_AUTO is the auto sign
  // The click-wait mark: its picture was found, where the message ended,
  // and the frames it has been on show.
  int32_t markLoaded;
  int32_t markX, markY;
  int32_t markTicks;
};
extern SceneState g_scene;

// What outlives a scene: the auto speed the A key goes back to, and the
// debug mode (Escape quits there instead of closing the history).
struct SceneOptions {
  int32_t lastAuto;
  int32_t debugMode;
};
extern SceneOptions g_sceneOptions;
// Auto mode off (0) or at speed 1 (slow) to 3 (fast): the "auto_speed"
// setting, the menu's checks and the window's sign.
void AVG_SetAuto(int speed);
void AVG_SetDebugMode(int on);
// Frames a fully shown message of `length` bytes waits in auto mode.
int AVG_AutoDelay(int speed, int length);
void AVG_ResetOptions();

// The event pictures ("v%04d.bmp") in gallery order, ended by -1; showing one
// sets its gallery flag.
enum : int { EVENT_PICTURE_MAX = 32 };
extern int32_t g_eventPictures[EVENT_PICTURE_MAX];

// The frame of game mode 3: runs the script, the music and the transitions and
// reveals the message; returns 3, or 1 once the scene has ended.
int ADV_Update();
// Ends the scene at the end of this frame.
void AVG_RequestNextStage();

// Scene set-up when the game mode enters a story scene.
void AVG_StartScene();
void AVG_ShowMessage(const char* text);
void AVG_UpdateMessage();
int AVG_MessageDone();
void AVG_ShowWindow(int on);
// Message reveal step per frame from "msg_wait" (256 while skipping).
int AVG_MessageStep();

void AVG_SetBG(int number, int effect, int duration);
void AVG_SetCG(int number, int effect, int duration);
void AVG_UpdateTransition();
int AVG_TransitionDone();
// Frames a pause or transition of t sixtieths lasts at the system speed
// (-1 is 30, -2 is 60); 0 while skipping.
int AVG_ScaledFrames(int t);

void AVG_AddChoice(const char* text);
void AVG_OpenChoices();
int AVG_PollChoice();

// Back to the start state (tests, replays).
void AVG_Reset();
