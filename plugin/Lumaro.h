// The plugin object. It holds all of the plugin's state; its members are the entry points the host calls
// back (commands, variable changes, event hooks, timers), defined in the folder of the subsystem each one
// belongs to: race/, playback/, library/, ui/. The host creates exactly one, through getPlugin.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Kismet.h"
#include "host/TessaroPlugin.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/GhostFrameOrder.h"
#include "plugin/HostNames.h"
#include "plugin/SystemClock.h"
#include "race/GhostDelta.h"
#include "race/RunLife.h"
#include "ui/GhostChoiceList.h"

// The Kismet variable types the plugin tells apart.
enum class KismetType { Int, Float, String, Vector };

class Lumaro final : public Tessaro::Plugin::TessaroPlugin {
public:
  void onLoad() override;
  void onUnload() override;

  // race/: record and challenge commands, lap watcher, run sampler, race finish, map load and spawn.
  void recordGhost();
  void challengeGhost();
  // The record command as automatic recording issues it: a run it finds armed is armed again, not refused.
  void recordAutomatically();
  void watchLap(SequenceVariableWrapper lapCounter);
  void sampleRun(SystemTime runStart, SystemTime lastSample);
  // One poll of the lap watcher and one tick of the run sampler, as watchLap and sampleRun run them.
  void pollLapCounter(SequenceVariableWrapper& lapCounter);
  void sampleCar(SystemTime runStart, SystemTime lastSample);
  void onRaceFinished();
  void onMapLoad(const std::string& eventName);
  void onPlayerSpawnStart(const std::string& eventName);
  // afterSpawn: the look a moment after a spawn, rather than the switch's own change.
  void checkAutoRecord(bool afterSpawn = false);

  // playback/: ghost playback and ghost colour.
  void playGhost();
  void stopGhost();
  // The stop automatic recording makes before it arms its run: a run it drops is armed again at once.
  void stopGhostBeforeRearming();
  void playbackTick(SequenceVariableWrapper position, SequenceVariableWrapper rotation, SystemTime lastTick);
  void updateGhostColor();
  void setGhostColor(float red, float green, float blue);
  // Whether ghostFrames is in time order: told by the import, kept for every playback start and tick.
  GhostFrameOrder ghostFrameOrder;
  // The run reset, with or without re-applying the ghost colour (defined in race/MapEvents.cpp). The colour
  // write's own failure resets without it, so that the failure cannot schedule itself again. keepFinishedRun
  // keeps a run whose finish was seen, and the finished run in recordedFrames.
  void resetRunState(bool reapplyGhostColor, bool keepFinishedRun = false);

  // library/: ghost export, import and the ghost folder.
  void exportGhost();
  void importGhost(bool announce);
  void openGhostFolder();
  // The ghost folder in the host's data folder: the one place its path is worked out.
  std::filesystem::path ghostFolder();

  // ui/: status log and settings page.
  void logStatus(const std::string& message);
  void updateGhostList();
  // The page's ghost list, with the headers it has read kept by each file's stamp.
  GhostChoiceList ghostChoiceList;

  std::string ghostFileVersion{writtenGhostVersion};
  std::map<std::string, SequenceVariableWrapper> sequenceVariables;
  std::vector<GhostFrame> recordedFrames;
  std::vector<GhostFrame> ghostFrames;
  std::int32_t currentLap = -1;
  bool isPlaying = false;
  std::int64_t playbackStart = 0;
  bool isChallenging = false;

  // The run's life: its phase, identity and frames, and the lap counts it was armed and finished with. It
  // keeps currentLap following its phase, and reads isChallenging as the player's choice of a challenge.
  RunLife runLife{currentLap, isChallenging};
  // The identity of the latest preview; each playback chain holds the one it plays.
  std::uint64_t currentPreview = 0;
  // The map's optional GhostDelta, looked up as a challenge's race starts and held until a plain run is
  // armed or started or the race's comparison ends early, and the difference to the ghost that is written into it.
  std::optional<SequenceVariableWrapper> ghostDeltaVariable;
  GhostDelta ghostDelta;

  // The members below are the plugin's own plumbing; the host never calls them.

  // plugin/: registrations and the guard every host callback runs in.
  void registerCommands();
  void registerVariables();
  void registerColorVariable();
  void registerHooks();
  void createGhostFolder();
  // Runs body; an error escaping it is reported as a status message instead of reaching the host. False when
  // one did.
  bool runGuarded(std::string_view entry, const std::function<void()>& body);
  // A one-shot host timer whose body runs guarded.
  void schedule(std::string entry, float delaySeconds, std::function<void()> body);
  void reportCallbackError(std::string_view entry, std::string_view reason);

  // race/KismetAccess.cpp: the lookups over the main sequence's variables.
  SequenceWrapper mainSequence();
  void refreshSequenceVariables(SequenceWrapper sequence);
  std::optional<SequenceVariableWrapper> findFirstVariable(KismetType type, std::string_view name);
  std::optional<SequenceVariableWrapper> findFirstLapCounterAtStart();
  std::optional<SequenceVariableWrapper> findLastVariable(KismetType type, std::string_view name);
  bool hasVariable(KismetType type, std::string_view name);
  // The map's name from its MapName variable (empty without one), read from sequenceVariables as they are.
  std::string currentMapName();
  void forEachVariable(KismetType type, std::string_view name,
                       const std::function<void(SequenceVariableWrapper&)>& visit);
  static bool isHeldVariableValid(SequenceVariableWrapper& held, bool emptyHandleIsInvalid);
  void failNotInWorkshop();
  void failNoKismet(bool reapplyGhostColor = true);
  // The opening checks of the commands and ticks. Each says whether to go on; when not, the player has been
  // told why and the run reset has been performed. checkMainSequence also refreshes sequenceVariables.
  bool checkInWorkshopMap();
  bool checkMainSequence(bool reapplyGhostColor = true);

  // library/GhostExport.cpp: where lm_export_filename puts a ghost, as the messages name it and as a file
  // (none for a name that is not UTF-8 text).
  std::string exportPathText();
  std::optional<std::filesystem::path> exportFile(const std::string& pathText);
  // The lap count a ghost of the recorded run is written and compared with.
  std::int32_t recordedRunLapCount();

  // race/GhostDeltaWrites.cpp: the live difference to the ghost. The lookup as a challenge's race starts,
  // the write of each sample of that race, and the writes the run's changes of phase make (0 as a challenge
  // is armed and as the run goes idle, the final difference at the finish). endGhostDelta writes 0 once and
  // lets the variable go: nothing more is written until a challenge's race looks it up again.
  void lookUpGhostDelta();
  void sampleGhostDelta();
  void writeGhostDelta(float seconds);
  void endGhostDelta();
  void onRunPhase(RunPhase from, RunPhase to);

  // race/: the recording switch, turned by console commands so the host's value stays the one truth.
  bool isRecording();
  void stopRecording();
  void runReset();
  // The stop command's reset when there is no ghost to stop: the run reset, keeping a finished run.
  void resetRunForStop(bool tellEndedRun);

  // race/RunChains.cpp: the run's glue to the host. The recorded run emptied with its lap count; a run ended by
  // cause, its switch turned off and the player told.
  void clearRecordedRun();
  void endRun(RunEnd cause);
  void endSwitchedOffRun();
  void armRecording(bool automatic);
  // A one-shot timer of the live run's chains: it runs body only while that run is still the live one.
  void scheduleForRun(std::string entry, std::function<void()> body);
  // Runs one tick of the live run's lap watcher or sampler, guarded. An error escaping it ends a run not yet
  // finished, unrecorded, once the error has been reported.
  void runTickOfLiveRun(std::string_view entry, const std::function<void()>& tick);
  // The one stale-tick check of every chain: a timer due on the next tick whose body runs only while current
  // (the run's identity, currentPreview) still holds the identity it held when the timer was set.
  void scheduleNextTick(std::string entry, const std::uint64_t& current, std::function<void()> body);
};
