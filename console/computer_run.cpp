#include "console/computer_run.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "Systeme/errors.h"
#include "inventory/read_computer.h"
#include "settings/builtin_texts.h"

namespace {

// How long the run waits for an event before it looks at the stop flag again.
constexpr std::uint32_t kStopPollMs = 50;

// What every computer's thread reads and nobody changes. Shared by the threads: it lives as
// long as the last of them.
struct JobInputs {
  std::shared_ptr<RunMailbox> mailbox;
  std::function<std::unique_ptr<HotfixSource>()> makeSource;
  std::uint32_t timeoutMs = 0;
  UpdateSources sources;
  std::function<std::unique_ptr<UpdateHistorySource>()> makeHistorySource;
  std::function<std::unique_ptr<ServicingPackageSource>()> makePackageSource;
  UpdateRowTexts rowTexts;
  TFormatSettings parseSettings;
  TFormatSettings displaySettings;
  std::shared_ptr<TimeZone> timeZone;
  std::function<int()> currentYear;
  std::string className;  // the WMI class of the installed hotfixes
};

// One computer's thread's own: what it reads, and the flag the run sets to stop it (Ctrl+C, or
// the computer given up).
struct Job {
  std::size_t index = 0;
  ComputerRequest request;
  std::shared_ptr<const JobInputs> inputs;
  std::atomic<bool> stop{false};
  // What the reading looks at: `stop`, or, for a computer read on the run's own thread (which
  // cannot set `stop` while the reading holds it), the run's stop flag itself.
  const std::atomic<bool>* stopFlag = &stop;
};

ComputerInventory SettledInventory(std::string computer, InventoryStatus status, std::int32_t code,
                                   std::string text) {
  ComputerInventory inventory;
  inventory.computer = std::move(computer);
  inventory.status = status;
  inventory.errorCode = code;
  inventory.errorText = std::move(text);
  return inventory;
}

// After WMI, on the same thread: the sources beyond it, whatever WMI answered (they may well
// answer when WMI's repository is broken). The run is told when the history is asked for and
// when it came, so that an agent that never answers cannot hold the computer for ever.
void AddOtherSources(const JobInputs& inputs, Job& job, ComputerInventory& result) {
  const std::unique_ptr<UpdateHistorySource> history = inputs.makeHistorySource();
  const std::unique_ptr<ServicingPackageSource> packages = inputs.makePackageSource();
  RunMailbox& mailbox = *inputs.mailbox;
  BeyondQfeUpdates found;
  if (inputs.sources.windowsUpdate) {
    mailbox.Post(RunEvent{job.index, RunEvent::Kind::AskingHistory, result});
    found = ReadBeyondQfe({.windowsUpdate = true}, job.request, *history, *packages, *job.stopFlag);
    mailbox.Post(RunEvent{job.index, RunEvent::Kind::HistoryRead, {}});
  }
  if (inputs.sources.servicingPackages) {
    BeyondQfeUpdates more =
        ReadBeyondQfe({.servicingPackages = true}, job.request, *history, *packages, *job.stopFlag);
    found.packages = std::move(more.packages);
    for (SourceFailure& failure : more.failures) found.failures.push_back(std::move(failure));
  }
  std::vector<const TTreeDataClass*> wmiRecords;
  wmiRecords.reserve(result.rows.size());
  for (const TTreeDataClass& row : result.rows) wmiRecords.push_back(&row);
  AddBeyondQfeRecords(
      result, wmiRecords, found,
      [&](FileTime utc) { return ShortDateOfUtc(utc, *inputs.timeZone, inputs.displaySettings); },
      inputs.rowTexts,
      [&result](std::unique_ptr<TTreeDataClass> record) {
        result.rows.push_back(std::move(*record));
      });
}

// The body of a computer's thread. Nothing may escape it: the thread has nobody to catch it.
void RunJob(Job& job) noexcept {
  try {
    const JobInputs& inputs = *job.inputs;
    RunMailbox& mailbox = *inputs.mailbox;
    ComputerInventory result;
    result.computer = job.request.computer;
    try {
      const HotfixReading reading{inputs.parseSettings, inputs.displaySettings, *inputs.timeZone,
                                  inputs.currentYear};
      const std::unique_ptr<HotfixSource> source = inputs.makeSource();
      // Once connected the run no longer gives a computer up: each object is bounded instead.
      source->LimitWaitPerObject(inputs.timeoutMs);
      WmiReading wmi = ReadWmiHotfixes(
          *source, job.request, inputs.className, reading, [&job] { return job.stopFlag->load(); },
          [&result](std::unique_ptr<TTreeDataClass> record) {
            result.rows.push_back(std::move(*record));
          },
          [&] {
            mailbox.Post(RunEvent{job.index, RunEvent::Kind::Connected, {}});
          });
      static_cast<ReadingOutcome&>(result) = std::move(wmi.outcome);
      if ((inputs.sources.windowsUpdate || inputs.sources.servicingPackages) &&
          !job.stopFlag->load()) {
        AddOtherSources(inputs, job, result);
      }
    } catch (const std::exception& error) {
      result = SettledInventory(job.request.computer, InventoryStatus::Failed, kUnexpectedCode,
                                error.what());
    }
    mailbox.Post(RunEvent{job.index, RunEvent::Kind::Finished, std::move(result)});
  } catch (...) {  // a thread's outermost frame: nothing may leave it
    // Out of memory even for the report: the computer stays unanswered and runs into its
    // timeout if it had not answered yet.
  }
}

enum class State { Waiting, Connecting, Reading, AskingHistory, Settled };

class Run {
 public:
  Run(const std::vector<ComputerRequest>& requests, const RunSettings& settings,
      const RunPorts& ports, const RunProgress& progress)
      : requests_(requests),
        parallel_(static_cast<std::size_t>(std::max(settings.parallel, 1))),
        maxLeftBehind_(settings.maxLeftBehind),
        onThisThread_(settings.onThisThread),
        timeoutMs_(settings.timeoutMs),
        ports_(ports),
        progress_(progress),
        states_(requests.size(), State::Waiting),
        startedAt_(requests.size(), 0),
        jobs_(requests.size()),
        leftBehind_(requests.size(), false),
        results_(requests.size()) {
    auto inputs = std::make_shared<JobInputs>();
    inputs->mailbox = ports.makeMailbox();
    inputs->makeSource = ports.makeSource;
    inputs->timeoutMs = settings.timeoutMs;
    inputs->sources = settings.sources;
    inputs->makeHistorySource = ports.makeHistorySource;
    inputs->makePackageSource = ports.makePackageSource;
    inputs->rowTexts = ports.rowTexts;
    inputs->parseSettings = ScanParseSettings(ports.displaySettings);
    inputs->displaySettings = ports.displaySettings;
    inputs->timeZone = ports.timeZone;
    inputs->currentYear = [year = ports.currentYear] { return year; };
    inputs->className = HotfixClassName();
    mailbox_ = inputs->mailbox.get();
    inputs_ = std::move(inputs);
  }

  std::vector<ComputerInventory> Go(const std::atomic<bool>& stop) {
    stop_ = &stop;
    while (settled_ < requests_.size()) {
      // In every turn, before any computer starts and whatever the rate of answers: a run whose
      // computers answer back to back hears Ctrl+C within one event.
      if (!stopping_ && stop.load()) {
        // What was posted before the flag was set is in the mailbox by now: a computer that
        // answered is read, not stopped.
        while (std::optional<RunEvent> event = mailbox_->WaitFor(0)) Take(std::move(*event));
        Stop();
        continue;
      }
      StartWhatMay();
      if (settled_ == requests_.size()) break;
      // Events are all taken before a computer is judged late: one that answered in time is
      // never given up because the run was busy.
      if (std::optional<RunEvent> event = mailbox_->WaitFor(TimeToWait())) {
        Take(std::move(*event));
        continue;
      }
      GiveUpLateOnes();
    }
    return std::move(results_);
  }

 private:
  // In the order given, as long as there is room: `parallel` computers being read, fewer than
  // maxLeftBehind threads given up and still alive, and the account, if any, not refused.
  void StartWhatMay() {
    while (!stopping_ && next_ < requests_.size() && active_.size() < parallel_ &&
           threadsLeftBehind_ < maxLeftBehind_) {
      if (!requests_[next_].user.empty()) {
        if (refusedBy_) {
          Settle(next_, NotTriedWithTheAccount(next_));
          ++next_;
          continue;
        }
        // Until a computer has taken the account, one at a time: the others wait for its answer.
        if (!accountTaken_) {
          if (accountProbe_) return;
          accountProbe_ = next_;
        }
      }
      Start(next_++);
    }
  }

  ComputerInventory NotTriedWithTheAccount(std::size_t index) const {
    const ComputerInventory& refusal = results_[*refusedBy_];
    return SettledInventory(requests_[index].computer, InventoryStatus::Failed, refusal.errorCode,
                            "Non essayé : le compte " + requests_[index].user +
                                " a été refusé par " + requests_[*refusedBy_].computer);
  }

  void Start(std::size_t index) {
    auto job = std::make_shared<Job>();
    job->index = index;
    job->request = requests_[index];
    job->inputs = inputs_;
    states_[index] = State::Connecting;
    startedAt_[index] = ports_.clock();
    jobs_[index] = job;
    active_.push_back(index);
    if (onThisThread_) {
      job->stopFlag = stop_;
      ports_.threads.RunHere([job = std::move(job)] { RunJob(*job); });
      return;
    }
    if (!ports_.threads.Start([job = std::move(job)] { RunJob(*job); })) {
      Settle(index,
             SettledInventory(requests_[index].computer, InventoryStatus::Failed, kUnexpectedCode,
                              "Impossible de créer un thread pour cet ordinateur"));
    }
  }

  void Take(RunEvent event) {
    const std::size_t index = event.index;
    if (index >= states_.size()) return;
    // A computer already settled was given up: whatever its thread says now comes too late, but
    // its last word tells that the thread is ending.
    if (states_[index] == State::Settled) {
      if (event.kind == RunEvent::Kind::Finished && leftBehind_[index]) {
        leftBehind_[index] = false;
        --threadsLeftBehind_;
      }
      return;
    }
    switch (event.kind) {
      case RunEvent::Kind::Connected:
        if (states_[index] == State::Connecting) states_[index] = State::Reading;
        if (accountProbe_ == index) accountTaken_ = true;
        return;
      case RunEvent::Kind::AskingHistory:
        // Its own delay starts now; WMI's rows are kept in case the history never comes.
        states_[index] = State::AskingHistory;
        startedAt_[index] = ports_.clock();
        results_[index] = std::move(event.result);
        return;
      case RunEvent::Kind::HistoryRead:
        states_[index] = State::Reading;
        return;
      case RunEvent::Kind::Finished:
        Settle(index, std::move(event.result));
        return;
    }
  }

  std::uint32_t TimeToWait() const {
    std::uint32_t wait = kStopPollMs;
    const std::uint32_t now = ports_.clock();
    for (const std::size_t index : active_) {
      if (!IsTimed(states_[index])) continue;
      const std::uint32_t elapsed = now - startedAt_[index];
      wait = std::min(wait, elapsed >= timeoutMs_ ? 0 : timeoutMs_ - elapsed);
    }
    return wait;
  }

  void GiveUpLateOnes() {
    const std::uint32_t now = ports_.clock();
    for (const std::size_t index : std::vector<std::size_t>(active_)) {
      if (!IsTimed(states_[index]) || now - startedAt_[index] < timeoutMs_) continue;
      if (states_[index] == State::Connecting) {
        GiveUp(index, InventoryStatus::Failed, kTimeoutCode, NoAnswerText(timeoutMs_));
      } else {
        GiveUpHistory(index, kTimeoutCode, NoAnswerText(timeoutMs_));
      }
    }
  }

  // Ctrl+C: nothing new starts; computers that have not answered are given up now rather than
  // after their timeout; those reading stop before their next object and report what they read.
  // They are told first, before any progress is reported.
  void Stop() {
    stopping_ = true;
    for (const std::size_t index : active_) jobs_[index]->stop = true;
    for (const std::size_t index : std::vector<std::size_t>(active_)) {
      if (states_[index] == State::Connecting) {
        GiveUp(index, InventoryStatus::Stopped, kCancelledCode,
               "Arrêté par l'utilisateur avant sa réponse");
      } else if (states_[index] == State::AskingHistory) {
        GiveUpHistory(index, kCancelledCode, kStoppedText);
      }
    }
    for (; next_ < requests_.size(); ++next_) {
      Settle(next_, SettledInventory(requests_[next_].computer, InventoryStatus::Stopped,
                                     kCancelledCode, "Non analysé : arrêt demandé"));
    }
  }

  void GiveUp(std::size_t index, InventoryStatus status, std::int32_t code, std::string text) {
    // Its thread may still connect later: it then stops before reading anything.
    LeaveBehind(index);
    Settle(index, SettledInventory(requests_[index].computer, status, code, std::move(text)));
  }

  void LeaveBehind(std::size_t index) {
    jobs_[index]->stop = true;
    leftBehind_[index] = true;
    ++threadsLeftBehind_;
  }

  // The states in which a computer's thread waits on a call the run cannot cut short.
  static bool IsTimed(State state) {
    return state == State::Connecting || state == State::AskingHistory;
  }

  // The history never came: the computer is settled with what WMI gave, not complete.
  void GiveUpHistory(std::size_t index, std::int32_t code, const std::string& text) {
    LeaveBehind(index);
    ComputerInventory inventory = std::move(results_[index]);
    NoteSourceFailure(inventory, {UpdateSource::WindowsUpdate, code, text});
    Settle(index, std::move(inventory));
  }

  void Settle(std::size_t index, ComputerInventory inventory) {
    if (inventory.status != InventoryStatus::Complete) ++failed_;
    results_[index] = std::move(inventory);
    states_[index] = State::Settled;
    jobs_[index].reset();
    active_.erase(std::remove(active_.begin(), active_.end(), index), active_.end());
    ++settled_;
    if (accountProbe_ == index && !accountTaken_) {
      // Refused: no other computer is tried with it. Out of reach: the next one is asked.
      const std::int32_t code = results_[index].errorCode;
      if (code == kLogonFailureCode || code == kAccountLockedCode) refusedBy_ = index;
      accountProbe_.reset();
    }
    if (progress_) progress_(settled_, requests_.size(), failed_);
  }

  const std::vector<ComputerRequest>& requests_;
  const std::size_t parallel_;
  const std::size_t maxLeftBehind_;
  const bool onThisThread_;
  const std::atomic<bool>* stop_ = nullptr;  // Go's, while it runs
  const std::uint32_t timeoutMs_;
  const RunPorts& ports_;
  const RunProgress& progress_;
  std::shared_ptr<const JobInputs> inputs_;
  RunMailbox* mailbox_ = nullptr;  // owned through inputs_
  std::vector<State> states_;
  std::vector<std::uint32_t> startedAt_;
  std::vector<std::shared_ptr<Job>> jobs_;  // while its computer is being read
  std::vector<std::size_t> active_;         // computers being read, given up ones excluded
  std::vector<bool> leftBehind_;            // given up, its thread not yet ended
  std::size_t threadsLeftBehind_ = 0;
  // The computer with the account being read alone, until one has answered with it.
  std::optional<std::size_t> accountProbe_;
  bool accountTaken_ = false;
  std::optional<std::size_t> refusedBy_;  // the computer that refused the account
  std::vector<ComputerInventory> results_;
  std::size_t next_ = 0;
  std::size_t settled_ = 0;
  std::size_t failed_ = 0;
  bool stopping_ = false;
};

}  // namespace

std::vector<ComputerInventory> RunComputers(const std::vector<ComputerRequest>& requests,
                                            const RunSettings& settings, const RunPorts& ports,
                                            const std::atomic<bool>& stop,
                                            const RunProgress& progress) {
  if (requests.empty()) return {};
  return Run(requests, settings, ports, progress).Go(stop);
}
