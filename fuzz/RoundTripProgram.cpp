#include "fuzz/RoundTripProgram.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "pemar/case/CaseManagers.h"
#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseDescription.h"
#include "pemar/diag/NamedPlot.h"
#include "pemar/diag/PlotView.h"
#include "pemar/diag/SaturationCurve.h"
#include "pemar/features/ExpMgrView.h"
#include "pemar/features/FeatureRegistry.h"
#include "pemar/features/PropertyTableFeature.h"
#include "pemar/features/TechnologyManagerView.h"
#include "pemar/features/testing/FeatureTestSupport.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/framework/FilePrompt.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/framework/Messages.h"
#include "pemar/framework/Platform.h"
#include "pemar/framework/VarDescription.h"
#include "pemar/framework/ViewLog.h"
#include "pemar/project/EngineeringManager.h"
#include "pemar/project/IPemarProject.h"
#include "pemar/project/NotesProject.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportManager.h"
#include "pemar/utility/DefaultManager.h"
#include "pemar/utility/DefaultUtilManagerView.h"

namespace pemar::fuzz {
namespace {

constexpr char kCasePath[] = "/case.kcs";
// Bounds that keep one input fast: operations, and round trips among them.
constexpr int kMaxOperations = 256;
constexpr int kMaxRoundTrips = 8;

// A small generator of fixed definition (SplitMix64), so that a seed makes
// the same program on every platform and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  // Below `n` (> 0); the bias of the modulo does not matter here.
  unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }

 private:
  std::uint64_t state_;
};

// An operation code a made-up program may draw, and how often.
struct WeightedCode {
  std::uint8_t code;
  unsigned weight;
};

// What a made-up program draws from, and where its bytes go.
struct Generator {
  Random random;
  int operations;  // still to draw
  std::vector<WeightedCode> codes;
  unsigned total_weight = 0;
  std::vector<std::uint8_t>* program;
};

// The program's bytes, zeros once they run out; or, with a generator, bytes
// made up as they are asked for and kept, which replay as the same program.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size) {}
  explicit Reader(Generator* generator) : generator_(generator) {}

  bool AtEnd() const {
    return generator_ != nullptr ? generator_->operations <= 0 : pos_ >= size_;
  }
  // An operation's code: a made-up program draws one of its codes.
  std::uint8_t Code() {
    if (generator_ == nullptr) return Byte();
    --generator_->operations;
    unsigned pick = generator_->random.Below(generator_->total_weight);
    for (const WeightedCode& c : generator_->codes) {
      if (pick < c.weight) return Keep(c.code);
      pick -= c.weight;
    }
    return Keep(kRoundTrip);
  }
  std::uint8_t Byte() {
    if (generator_ != nullptr) {
      return Keep(static_cast<std::uint8_t>(generator_->random.Next()));
    }
    return pos_ < size_ ? data_[pos_++] : 0;
  }
  // A position below `count` (0 when count is 0), sometimes one past it.
  int Index(int count) { return Byte() % (count + 1); }

  // 0 to 3 characters of "aAb": collisions are the point, and so are
  // letter cases (economic set names are matched upper-cased).
  std::string Name() {
    static constexpr char kAlphabet[] = "aAb";
    const int length = Byte() % 4;
    std::string name;
    for (int i = 0; i < length; ++i) name += kAlphabet[Byte() % 3];
    return name;
  }

  // Free text: blanks, line ends, a byte above 127, a format directive.
  std::string Words() {
    static constexpr char kAlphabet[] = "ab \n%\xe9Z,";
    const int length = Byte() % 12;
    std::string text;
    for (int i = 0; i < length; ++i) text += kAlphabet[Byte() % 8];
    return text;
  }

  double Number() {
    static const double kValues[] = {
        0.0,
        1.0,
        -1.0,
        0.5,
        2.0,
        10.0,
        100.0,
        250.0,
        -25.0,
        1e-9,
        -32767.0,
        45.0,
        46.0,
        47.0,
        76.0,
        89.0,
        90.0,
        -0.0,
        1e308,
        5e-324,
        0.1,
        8765.76,
        -273.15,
        3000.0,
        0.3,
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
    };
    constexpr int kCount = sizeof kValues / sizeof kValues[0];
    const int b = Byte();
    if (b < kCount) return kValues[b];
    if (b < 224) return static_cast<double>(b - kCount - 64);
    double raw = 0.0;
    std::uint8_t bytes[sizeof raw];
    for (std::uint8_t& byte : bytes) byte = Byte();
    std::memcpy(&raw, bytes, sizeof raw);
    return raw;
  }

 private:
  std::uint8_t Keep(std::uint8_t byte) {
    generator_->program->push_back(byte);
    return byte;
  }

  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  Generator* generator_ = nullptr;
};

// Keeps the messages of the current step, printed when a check fails.
class StepSink : public MessageSink {
 public:
  void Deliver(const Message& message) override {
    if (messages_.size() < 64) messages_.push_back(message.key.str());
  }
  void Clear() { messages_.clear(); }
  void Print() const {
    for (const std::string& key : messages_) {
      std::fprintf(stderr, "  message: %s\n", key.c_str());
    }
  }

 private:
  std::vector<std::string> messages_;
};

// The database a new editor gets without default files, made once: every
// program of the utility family starts with it, and a copy costs less than
// building it again. Checked once against a database built anew.
const DefaultManager& BuiltInDatabase() {
  static const DefaultManager* const database = [] {
    MemoryFileSystem fs;
    ScopedFileSystem scoped_fs(&fs);
    auto* built = dynamic_cast<DefaultManager*>(CreateDefaultUtilManager());
    IDefaultUtilityManager* again = CreateDefaultUtilManager();
    bool same = false;
    if (built != nullptr) {
      DefaultManager copy(*built);
      same = DescribeUtilityDatabase(&copy) == DescribeUtilityDatabase(again);
    }
    ReleaseDefaultUtilManager(again);
    if (!same) {
      std::fprintf(stderr, "a copy of the built-in database differs\n");
      std::abort();
    }
    return built;
  }();
  return *database;
}

class Program {
 public:
  // Takes the program from `in`; `observer` may be empty.
  Program(Reader in, unsigned families, StepSink* sink,
          const OperationObserver& observer)
      : in_(in),
        families_(families),
        sink_(*sink),
        observer_(observer),
        case_(std::make_unique<SimulationCase>(Text("SIM"), nullptr)) {
    if (families_ & kUtilityFamily) StartEditor();
  }

  // The codes of the families' operations and of the round trip, with how
  // often a made-up program draws each.
  static std::vector<WeightedCode> Codes(unsigned families) {
    std::vector<WeightedCode> codes;
    for (const Entry& entry : Table()) {
      if (entry.family == 0 || (entry.family & families) != 0) {
        codes.push_back({entry.code, entry.weight});
      }
    }
    return codes;
  }

  void Run() {
    for (int step = 0; step < kMaxOperations && !in_.AtEnd(); ++step) {
      sink_.Clear();
      Operate();
    }
    RoundTrip();
    if (observer_) observer_(kRoundTrip, *case_);
  }

 private:
  struct Entry {
    OperationCode code;
    unsigned family;  // 0: every family
    void (Program::*run)();
    // How often a made-up program draws it: more often for operations
    // that take several calls to get far.
    unsigned weight;
  };

  static const std::vector<Entry>& Table() {
    static const std::vector<Entry> table = {
        {kRoundTrip, 0, &Program::RoundTripOperation, 1},

        {kAddProject, kCaseFamily, &Program::AddProject, 1},
        {kRenameProject, kCaseFamily, &Program::RenameProject, 1},
        {kDeleteProject, kCaseFamily, &Program::DeleteProject, 1},
        {kSetProjectText, kCaseFamily, &Program::SetProjectText, 1},
        {kAddNote, kCaseFamily, &Program::AddNote, 1},
        {kDeleteNote, kCaseFamily, &Program::DeleteNote, 1},
        {kSetNoteText, kCaseFamily, &Program::SetNoteText, 1},
        {kAskNoteTitle, kCaseFamily, &Program::AskNoteTitle, 1},
        {kSetCaseText, kCaseFamily, &Program::SetCaseText, 1},
        {kMakeUtilityView, kCaseFamily, &Program::MakeUtilityView, 1},

        {kAddUtility, kUtilityFamily, &Program::AddUtility, 1},
        {kRenameUtility, kUtilityFamily, &Program::RenameUtility, 1},
        {kRemoveUtility, kUtilityFamily, &Program::RemoveUtility, 1},
        {kCloneUtility, kUtilityFamily, &Program::CloneUtility, 1},
        {kRestoreUtilities, kUtilityFamily, &Program::RestoreUtilities, 1},
        {kSetUtilityValue, kUtilityFamily, &Program::SetUtilityValue, 2},
        {kSetExchangerType, kUtilityFamily, &Program::SetExchangerType, 1},
        {kSetStreamType, kUtilityFamily, &Program::SetStreamType, 1},
        {kSetMode, kUtilityFamily, &Program::SetMode, 1},
        {kSetComposition, kUtilityFamily, &Program::SetComposition, 1},
        {kEditHTC, kUtilityFamily, &Program::EditHTC, 2},
        {kAddEconomicSet, kUtilityFamily, &Program::AddEconomicSet, 1},
        {kDeleteEconomicSet, kUtilityFamily, &Program::DeleteEconomicSet, 1},
        {kSetEconomicValue, kUtilityFamily, &Program::SetEconomicValue, 2},
        {kLockEconomics, kUtilityFamily, &Program::LockEconomics, 1},
        {kReplaceEconomics, kUtilityFamily, &Program::ReplaceEconomics, 1},
        {kSetTracking, kUtilityFamily, &Program::SetTracking, 1},
        {kSetDataSource, kUtilityFamily, &Program::SetDataSource, 1},
        {kSelectFuel, kUtilityFamily, &Program::SelectFuel, 1},
        {kSetUserFactor, kUtilityFamily, &Program::SetUserFactor, 1},
        {kChangeUtilityFuel, kUtilityFamily, &Program::ChangeUtilityFuel, 1},
        {kApplyGlobalFuel, kUtilityFamily, &Program::ApplyGlobalFuel, 1},
        {kResetFuel, kUtilityFamily, &Program::ResetFuel, 1},
        {kAddFuelSource, kUtilityFamily, &Program::AddFuelSource, 1},
        {kSwapDatabase, kUtilityFamily, &Program::SwapDatabase, 1},

        {kAddFeature, kFeatureFamily, &Program::AddFeature, 2},
        {kFileFeature, kFeatureFamily, &Program::FileFeature, 1},
        {kChooseList, kFeatureFamily, &Program::ChooseList, 1},
        {kSelectFeature, kFeatureFamily, &Program::SelectFeature, 1},
        {kDeleteFeature, kFeatureFamily, &Program::DeleteFeature, 1},
        {kSetTableRange, kFeatureFamily, &Program::SetTableRange, 1},
        {kDropFeatureManager, kFeatureFamily, &Program::DropFeatureManager, 1},

        {kMakeReportManager, kReportFamily, &Program::MakeReportManager, 1},
        {kNewReport, kReportFamily, &Program::NewReport, 1},
        {kSetReportText, kReportFamily, &Program::SetReportText, 2},
        {kSetReportChoice, kReportFamily, &Program::SetReportChoice, 2},
        {kFillReport, kReportFamily, &Program::FillReport, 1},
        {kWriteReport, kReportFamily, &Program::WriteReport, 1},
        {kDeleteReport, kReportFamily, &Program::DeleteReport, 1},
        {kDropReportManager, kReportFamily, &Program::DropReportManager, 1},

        {kAddCurve, kPlotFamily, &Program::AddCurve, 1},
        {kAddPlotView, kPlotFamily, &Program::AddPlotView, 2},
        {kAddPlotRecord, kPlotFamily, &Program::AddPlotRecord, 3},
        {kRemovePlotRecord, kPlotFamily, &Program::RemovePlotRecord, 1},
        {kSetPlotText, kPlotFamily, &Program::SetPlotText, 2},
        {kCommandPlotView, kPlotFamily, &Program::CommandPlotView, 1},
        {kRebuildPlot, kPlotFamily, &Program::RebuildPlot, 1},
        {kDeletePlotView, kPlotFamily, &Program::DeletePlotView, 1},
        {kAddNamedPlot, kPlotFamily, &Program::AddNamedPlot, 1},
    };
    return table;
  }

  // The entry of each code; null for a byte that is no code.
  static const Entry* Find(std::uint8_t code) {
    static const std::vector<const Entry*> by_code = [] {
      std::vector<const Entry*> index(256, nullptr);
      for (const Entry& entry : Table()) index[entry.code] = &entry;
      return index;
    }();
    return by_code[code];
  }

  void Operate() {
    const Entry* entry = Find(in_.Code());
    if (entry == nullptr) return;
    if (entry->family != 0 && (entry->family & families_) == 0) return;
    (this->*entry->run)();
    if (observer_) observer_(entry->code, *case_);
  }

  // Round trips.

  void RoundTripOperation() {
    if (round_trips_ < kMaxRoundTrips) RoundTrip();
  }

  [[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "round trip %d: %s\n%s", round_trips_, what,
                 detail.c_str());
    sink_.Print();
    std::abort();
  }

  void RoundTrip() {
    ++round_trips_;
    sink_.Clear();
    case_->SetFileName(Text(kCasePath));
    if (!case_->SaveDocument(0)) Fail("the save failed", "");
    // The texts are kept for the next round trip and the next input: a
    // description of tens of kilobytes, grown anew each time, took much of
    // a round trip under the sanitizers.
    static std::string saved;
    static std::string again;
    DescribeCase(*case_, &saved);
    auto reopened = std::make_unique<SimulationCase>(Text("SIM"), nullptr);
    if (!reopened->RecallDocument(FileName(Text(kCasePath)))) {
      Fail("the reopen failed", saved);
    }
    DescribeCase(*reopened, &again);
    const std::string difference = FirstDifference(saved, again);
    if (!difference.empty()) Fail("the reopened case differs", difference);
    // For writing seeds: what a program made of the case.
    if (std::getenv("PEMAR_ROUND_TRIP_SHOW") != nullptr) {
      std::fprintf(stderr, "round trip %d:\n%s", round_trips_, again.c_str());
    }
    case_ = std::move(reopened);
  }

  // Projects and notes.

  EngineeringManager& Engineering() { return *case_->GetEngineeringManager(); }

  IPemarBaseObject* PickObject() {
    const int count = Engineering().GetProjectSize(kNotesProjectType);
    IPemarBaseObject* object = nullptr;
    Engineering().GetProjectByNum(in_.Index(count), kNotesProjectType, &object);
    return object;
  }
  IPemarProject* PickProject() { return AsPemarProject(PickObject()); }

  void AddProject() {
    const std::string name = in_.Name();
    Engineering().AddEngObject(name.c_str(), kNotesProjectType, 0);
  }
  void RenameProject() {
    IPemarProject* project = PickProject();
    const std::string name = in_.Name();
    if (project != nullptr) project->SetProjectName(name.c_str());
  }
  void DeleteProject() {
    if (IPemarBaseObject* object = PickObject()) {
      Engineering().RemoveEngObject(object);
    }
  }
  void SetProjectText() {
    IPemarProject* project = PickProject();
    const bool engineer = in_.Byte() & 1;
    const std::string text = in_.Words();
    if (project == nullptr) return;
    if (engineer) {
      project->SetEngineersName(text.c_str());
    } else {
      project->SetComments(text.c_str());
    }
  }
  void AddNote() {
    if (IPemarProject* project = PickProject()) project->AddNote();
  }
  void DeleteNote() {
    IPemarProject* project = PickProject();
    if (project != nullptr) {
      project->DeleteNote(in_.Index(project->GetNumberOfNotes()));
    }
  }
  void SetNoteText() {
    IPemarProject* project = PickProject();
    if (project == nullptr) return;
    const int note = in_.Index(project->GetNumberOfNotes());
    const int field = in_.Byte() % 3;
    const std::string text = in_.Words();
    if (field == 0) project->SetNoteText(note, text.c_str());
    if (field == 1) project->SetNoteAuthor(note, text.c_str());
    if (field == 2) project->SetNoteTitle(note, text.c_str());
  }
  // Asking for a title makes the project's default-title text, which is
  // stored too; finding a note by title asks for every title.
  void AskNoteTitle() {
    IPemarProject* project = PickProject();
    if (project == nullptr) return;
    const int note = in_.Index(project->GetNumberOfNotes());
    const std::string title = in_.Words();
    project->GetNoteTitle(note);
    int index = 0;
    project->SetNoteCount(title.c_str(), index);
  }

  // The description, the original name, or an unsaved change (which the
  // next save counts).
  void SetCaseText() {
    const int what = in_.Byte() % 3;
    if (what == 0) {
      case_->SpecifyText(VarDescription("Description", 300), Text(in_.Words()));
    } else if (what == 1) {
      case_->UpdateOriginalName();
    } else {
      case_->SetModified(true);
    }
  }

  void MakeUtilityView() { case_->UtilityDatabaseView(true); }

  // The editor the utility family starts with: what UtilityDatabaseView
  // makes, but with a copy of the built-in database made once.
  void StartEditor() {
    auto* view = new DefaultUtilManagerView(case_.get(), nullptr);
    view->SetName("UtilityDatabase");
    view->SetDatabase(new DefaultManager(BuiltInDatabase()), /*owned=*/true);
  }

  // The utility database.

  DefaultUtilManagerView* View() { return case_->UtilityDatabaseView(false); }
  IDefaultUtilityManager* Database() {
    DefaultUtilManagerView* view = View();
    return view != nullptr ? view->GetDatabase() : nullptr;
  }
  DefaultManager* Manager() {
    return dynamic_cast<DefaultManager*>(Database());
  }

  // An existing utility's name half the time, else a made-up one. A copy:
  // the database's own text goes away with a rename.
  std::string UtilityName() {
    IDefaultUtilityManager* db = Database();
    const int b = in_.Byte();
    if ((b & 1) && db != nullptr && db->GetNumberOfDefaultUtilities() > 0) {
      const char* name = db->GetDefaultUtilityName(
          (b >> 1) % db->GetNumberOfDefaultUtilities());
      return name != nullptr ? name : "";
    }
    return in_.Name();
  }

  void AddUtility() {
    const std::string name = in_.Name();
    if (IDefaultUtilityManager* db = Database())
      db->AddDefaultUtility(name.c_str());
  }
  void RenameUtility() {
    const std::string from = UtilityName();
    const std::string to = UtilityName();
    if (IDefaultUtilityManager* db = Database()) {
      db->RenameDefaultUtility(from.c_str(), to.c_str());
    }
  }
  void RemoveUtility() {
    const std::string name = UtilityName();
    IDefaultUtilityManager* db = Database();
    if (db == nullptr) return;
    db->RemoveDefaultUtility(name.c_str());
  }
  void CloneUtility() {
    const std::string name = UtilityName();
    if (IDefaultUtilityManager* db = Database()) {
      db->CloneDefaultUtility(name.c_str());
    }
  }
  void RestoreUtilities() {
    if (IDefaultUtilityManager* db = Database()) db->RestoreDefaultUtilities();
  }
  void SetUtilityValue() {
    const std::string name = UtilityName();
    const auto parameter =
        static_cast<DefaultUtilityParameter>(in_.Byte() % 20);
    const double value = in_.Number();
    if (IDefaultUtilityManager* db = Database()) {
      db->SetValue(name.c_str(), parameter, value);
    }
  }
  void SetExchangerType() {
    static const char* const kTypes[] = {kShellAndTube,
                                         kFiredHeater,
                                         kSteamReboiler,
                                         kAirCooler,
                                         kSteamGenerator,
                                         kElectricity,
                                         "",
                                         "ab"};
    const std::string name = UtilityName();
    const char* type = kTypes[in_.Byte() % 8];
    if (IDefaultUtilityManager* db = Database()) {
      db->SetExchangerType(name.c_str(), type);
    }
  }
  void SetStreamType() {
    const std::string name = UtilityName();
    const auto type = static_cast<SegmentHeatType>(in_.Byte() % 3);
    if (IDefaultUtilityManager* db = Database()) {
      db->SetStreamType(name.c_str(), type);
    }
  }
  void SetMode() {
    const int mode = in_.Byte() % 3;
    if (IDefaultUtilityManager* db = Database()) db->SetMode(mode);
  }
  void SetComposition() {
    const std::string utility = UtilityName();
    const int count = in_.Byte() % 4;
    std::vector<std::string> names;
    std::vector<double> fractions;
    for (int i = 0; i < count; ++i) {
      names.push_back(in_.Name());
      fractions.push_back(in_.Number());
    }
    std::vector<char*> pointers;
    for (std::string& name : names) pointers.push_back(name.data());
    if (IDefaultUtilityManager* db = Database()) {
      db->AddCompInfoToUtility(utility.c_str(), count, pointers.data(),
                               fractions.data());
    }
  }

  void EditHTC() {
    IDefaultUtilityManager* db = Database();
    const int what = in_.Byte() % 5;
    const int i = db != nullptr ? in_.Index(db->GetNumberOfHTCDefaultValues())
                                : in_.Byte();
    const std::string name = in_.Name();
    const std::string note = in_.Words();
    const double value = in_.Number();
    if (db == nullptr) return;
    switch (what) {
      case 0:
        db->AddHTCDefaultValue(name.c_str(), value, note.c_str());
        break;
      case 1:
        db->DeleteHTCDefaultValue(i);
        break;
      case 2:
        db->SetHTCDefaultValue(i, value);
        break;
      case 3:
        db->SetHTCDefaultValueName(i, name.c_str());
        break;
      default:
        db->SetHTCDefaultValueNote(i, note.c_str());
        break;
    }
  }

  // An economic set's name: a stored one (upper case) half the time.
  std::string EconomicName() {
    DefaultManager* m = Manager();
    const int b = in_.Byte();
    if ((b & 1) && m != nullptr) {
      const char* name =
          m->GetEconomicDataName((b >> 1) % m->GetNumberOfEconomicData());
      return name != nullptr ? name : "";
    }
    return (b & 2) ? "default" : in_.Name();
  }

  void AddEconomicSet() {
    const std::string name = EconomicName();
    if (DefaultManager* m = Manager()) m->AddEconomicData(name.c_str());
  }
  void DeleteEconomicSet() {
    const std::string name = EconomicName();
    if (DefaultManager* m = Manager()) m->DeleteEconomicData(name.c_str());
  }
  void SetEconomicValue() {
    const auto type = static_cast<EconomicDataType>(in_.Byte() % 8);
    const double value = in_.Number();
    const std::string name = EconomicName();
    if (DefaultManager* m = Manager()) {
      m->SetEconomicData(type, value, name.c_str());
    }
  }
  void LockEconomics() {
    const bool lock = in_.Byte() & 1;
    DefaultManager* m = Manager();
    if (m == nullptr) return;
    if (lock) {
      m->Lock();
    } else {
      m->Unlock();
    }
  }
  // Replaces the info record, the default set, or all named sets (each
  // named by its key, as the database names them).
  void ReplaceEconomics() {
    const int what = in_.Byte() % 3;
    DefaultManager* m = Manager();
    if (what == 0) {
      auto info = std::make_unique<EconomicInfo>();
      for (EconomicDataType t :
           {EconomicParameter3, EconomicParameter4, EconomicOperatingHours}) {
        info->SetEconomicInfo(t, in_.Number());
      }
      if (m != nullptr) m->SetEconomicInfo(info.release());
      return;
    }
    if (what == 1) {
      auto data = std::make_unique<EconomicData>();
      data->SetExchangerType(CVString("DEFAULT"));
      data->SetEconomicData(EconomicCoefficient0, in_.Number());
      data->SetEconomicData(EconomicSwitch, in_.Number());
      if (m != nullptr) m->SetEconomicData(data.release());
      return;
    }
    const int count = in_.Byte() % 4;
    auto dict = std::make_unique<EconomicDataDictionary>();
    auto list = std::make_unique<EconomicDataList>();
    for (int i = 0; i < count; ++i) {
      CVString key(in_.Name());
      for (char& c : key.str()) c = static_cast<char>(std::toupper(c));
      const double value = in_.Number();
      if (key == "DEFAULT" || dict->count(key) != 0) continue;
      auto data = std::make_unique<EconomicData>();
      data->SetExchangerType(key);
      data->SetEconomicData(EconomicCoefficient1, value);
      list->push_back(data.get());
      (*dict)[key] = data.release();
    }
    if (m == nullptr) {
      for (EconomicData* data : *list) delete data;
      return;
    }
    // The database lets go of the old containers but not of their sets.
    std::vector<EconomicData*> old;
    if (EconomicDataDictionary* current = m->GetEconomicDataDict()) {
      for (auto& entry : *current) old.push_back(entry.second);
    }
    m->SetEconomicDataDict(dict.release());
    m->SetEconomicDataList(list.release());
    for (EconomicData* data : old) delete data;
  }

  // The editor's fuel selection.

  void SetTracking() {
    const bool enabled = in_.Byte() & 1;
    if (DefaultUtilManagerView* view = View()) {
      view->SetCarbonTrackingEnabled(enabled);
    }
  }
  void SetDataSource() {
    const int source = in_.Byte() % 5 - 1;
    if (DefaultUtilManagerView* view = View())
      view->SetSelectedDataSource(source);
  }
  void SelectFuel() {
    const int position = in_.Byte() % 50 - 1;
    if (DefaultUtilManagerView* view = View()) view->SelectFuelSource(position);
  }
  void SetUserFactor() {
    const double factor = in_.Number();
    if (DefaultUtilManagerView* view = View())
      view->SetUserEmissionFactor(factor);
  }
  // What the editor does after the user set one utility's data source or
  // fuel: set the field, then fill in the fields that follow from it.
  void ChangeUtilityFuel() {
    IDefaultUtilityManager* db = Database();
    const int index = db != nullptr
                          ? in_.Index(db->GetNumberOfDefaultUtilities())
                          : in_.Byte();
    const auto field = (in_.Byte() & 1) ? EFDataSource : FuelSourceID;
    const double value = in_.Number();
    DefaultUtilManagerView* view = View();
    if (db == nullptr || view == nullptr) return;
    if (const char* name = db->GetDefaultUtilityName(index)) {
      db->SetValue(std::string(name).c_str(), field, value);
    }
    view->NotifyOneUtilityOfChanges(index, field);
  }
  void ApplyGlobalFuel() {
    IDefaultUtilityManager* db = Database();
    const int b = in_.Byte();
    DefaultUtilManagerView* view = View();
    if (view == nullptr) return;
    if (b & 1) {
      view->NotifyAllUtilitiesOfGlobalChanges();
    } else {
      view->NotifyOneUtilityOfGlobalChanges(
          db != nullptr ? (b >> 1) % (db->GetNumberOfDefaultUtilities() + 1)
                        : 0);
    }
  }
  void ResetFuel() {
    if (DefaultUtilManagerView* view = View()) view->ResetSelectedFuelSource();
  }
  void AddFuelSource() {
    const auto source =
        static_cast<DefaultUtilManagerView::CO2EmissionFactorDataSource>(
            in_.Byte() % 3);
    const std::string name = in_.Words();
    const double factor = in_.Number();
    if (DefaultUtilManagerView* view = View()) {
      view->AddDefaultFuelSource(source, Text(name), factor);
    }
  }
  // Takes the database away from the editor, or gives it a new one.
  void SwapDatabase() {
    DefaultUtilManagerView* view = View();
    if (view == nullptr) return;
    if (view->GetDatabase() != nullptr) {
      view->SetDatabase(nullptr, false);
    } else {
      case_->UtilityDatabaseView(true);
    }
  }

  // Features.

  ExpMgrView* Features() {
    return dynamic_cast<ExpMgrView*>(
        CaseBuildManager(case_.get(), "FeatureManager"));
  }
  // A feature key, a technology's "All" list, a refused key or a made-up
  // name. The two list names that a recall renames are left out.
  std::string Key() {
    static constexpr const char* kKeys[] = {
        "PropertyTable", "HI Case",        "ResidueCurveMap",   "ColumnDesign",
        "StreamManager", "All Separation", "All Thermodynamics"};
    const int b = in_.Byte() % 8;
    return b < 7 ? kKeys[b] : in_.Name();
  }
  Viewable* PickInstance(ExpMgrView* m) {
    const auto& all = m->AllInstances();
    const int i = in_.Index(static_cast<int>(all.size()));
    return i < static_cast<int>(all.size()) ? all[i] : nullptr;
  }
  TechnologyManagerView* PickTechnology(ExpMgrView* m) {
    const auto& list = m->TechnologyManagers();
    const int i = in_.Index(static_cast<int>(list.size()));
    return i < static_cast<int>(list.size()) ? list[i] : nullptr;
  }

  void AddFeature() {
    const std::string key = Key();
    if (ExpMgrView* m = Features()) m->AddExperiment(key.c_str(), nullptr);
  }
  void FileFeature() {
    ExpMgrView* m = Features();
    Viewable* instance = PickInstance(m);
    const std::string key = Key();
    if (instance != nullptr) m->AddExperimentOldCS(key.c_str(), instance);
  }
  void ChooseList() {
    ExpMgrView* m = Features();
    TechnologyManagerView* t = PickTechnology(m);
    const std::string key = Key();
    if (t != nullptr) t->SpecifyText(VarDescription("Viewable", 401), key);
  }
  // An instance's name half the time, else a made-up one.
  void SelectFeature() {
    ExpMgrView* m = Features();
    TechnologyManagerView* t = PickTechnology(m);
    Viewable* instance = PickInstance(m);
    const std::string name = (in_.Byte() & 1) && instance != nullptr
                                 ? instance->GetName().str()
                                 : in_.Name();
    if (t != nullptr) t->SpecifyText(VarDescription("Viewable", 501), name);
  }
  void DeleteFeature() {
    ExpMgrView* m = Features();
    const int how = in_.Byte() % 3;
    TechnologyManagerView* t = PickTechnology(m);
    Viewable* instance = PickInstance(m);
    if (how == 0 && t != nullptr) {
      t->Message("DeleteFeature");
    } else if (how == 1 && instance != nullptr) {
      delete instance;
    } else if (instance != nullptr) {
      m->DisconnectView(instance);
      delete instance;
    }
  }
  void SetTableRange() {
    ExpMgrView* m = Features();
    auto* table = dynamic_cast<PropertyTableFeature*>(PickInstance(m));
    const double from = 273.16 + std::fabs(in_.Number());
    const double to = from + std::fabs(in_.Number());
    const double pressure = in_.Number();
    if (table != nullptr) table->SetRange(from, to, pressure);
  }
  void DropFeatureManager() {
    if (in_.Byte() % 8 == 0) delete CaseFeatureManager(case_.get());
  }

  // Problem reports.

  BugReportManager* Reports() {
    return dynamic_cast<BugReportManager*>(case_->BugReportManagerObject());
  }
  BugReport* PickReport() {
    BugReportManager* m = Reports();
    if (m == nullptr) return nullptr;
    const auto& list = m->Reports();
    const int i = in_.Index(static_cast<int>(list.size()));
    return i < static_cast<int>(list.size()) ? list[i] : nullptr;
  }

  // The command opens views; the log of them is not what is tested here.
  void MakeReportManager() {
    case_->Message("BugReportMgr");
    ClearOpenedViews();
  }
  void NewReport() {
    if (BugReportManager* m = Reports()) {
      m->Message("NewBugReport");
      ClearOpenedViews();
    }
  }
  // One of the five texts a form sets, or a text only code sets: the title,
  // the program version, the system details.
  void SetReportText() {
    static constexpr const char* kNames[] = {"Date", "ReportedBy",
                                             "ProgramBuildDate", "ProgramArea",
                                             "StepByStepDescription"};
    BugReport* r = PickReport();
    const int field = in_.Byte() % 8;
    const Text text(in_.Words());
    if (r == nullptr) return;
    if (field < 5) {
      r->SpecifyText(VarDescription(kNames[field], 300), text);
    } else if (field == 5) {
      r->SetName(text);
    } else if (field == 6) {
      r->SetProgramVersion(text);
    } else {
      r->SetSystemDetails(text);
    }
  }
  void SetReportChoice() {
    BugReport* r = PickReport();
    VarDescription desc("Choice", 100 + in_.Byte() % 4);
    desc.SetType(107);
    const double value = in_.Number();
    if (r != nullptr) r->Specify(desc, value);
  }
  void FillReport() {
    if (BugReport* r = PickReport()) r->Message("FillEmptyEntries");
  }
  void WriteReport() {
    if (BugReport* r = PickReport()) r->Message("Write");
  }
  void DeleteReport() { delete PickReport(); }
  void DropReportManager() {
    if (in_.Byte() % 8 == 0) delete Reports();
  }

  // Plots. Views are made in saturation curves, which accept them back
  // after a reopen; curves are never deleted, so no view loses its owner.

  template <typename T>
  T* PickObject(const ObjectTypeInfo* type) {
    const auto list = case_->GetObjectManager().Objects(type);
    const int i = in_.Index(static_cast<int>(list.size()));
    return i < static_cast<int>(list.size()) ? dynamic_cast<T*>(list[i])
                                             : nullptr;
  }
  PlotView* PickView() { return PickObject<PlotView>(PlotViewObjectType()); }
  SaturationCurve* PickCurve() {
    return PickObject<SaturationCurve>(SaturationCurveObjectType());
  }
  Text Moniker() {
    static constexpr const char* kMonikers[] = {
        "Temperature.300.[]", "Pressure.300.[]", "", "a0", "b1",
        "Pressure.300"};
    return kMonikers[in_.Byte() % 6];
  }

  void AddCurve() {
    auto* curve = new SaturationCurve(case_.get());
    curve->SetName(Text(in_.Name()));
    // Arguments are read in order, never inside one call's argument list,
    // whose order of evaluation differs between compilers.
    const double from = 273.16 + in_.Byte();
    const double to = from + 1 + in_.Byte();
    const int points = in_.Byte() % 40;
    curve->SetRange(from, to, points);
  }
  void AddPlotView() {
    SaturationCurve* curve = PickCurve();
    const int type = in_.Byte() % 4;
    const std::string name = in_.Name();
    if (curve == nullptr) return;
    auto* view = new PlotView(curve);
    view->SetName(Text(name));
    if (type == 3) view->SetMappingStyle(ScaleMapping::kLogarithmic);
    view->SetPlot(type == 3 ? in_.Byte() % 3 : type);
  }
  void AddPlotRecord() {
    static constexpr int kIds[] = {1, 2, 110, 111, 113, 7};
    PlotView* view = PickView();
    const int id = kIds[in_.Byte() % 6];
    auto record = std::make_unique<PlottedDataSet>(id, Text(in_.Words()));
    for (int i = 0; i < 3; ++i) record->AddMoniker(i, Moniker());
    const int how = in_.Byte();
    record->SetDataColour(GetColourID(how % 22 - 1));
    record->SetSymbol(how & 1 ? kNoSymbol : 101 + how % 5, in_.Number(),
                      how & 2);
    record->SetLine(how % 3, in_.Number(), how & 4);
    if (how & 8) record->SetArrow(in_.Number());
    record->SetLegend(how & 16);
    record->SetShowTextOnPlot(how & 32);
    if (view != nullptr) view->AddDataSet(record.release());
  }
  void RemovePlotRecord() {
    PlotView* view = PickView();
    const int id = in_.Byte() % 4 == 0 ? -1 : (in_.Byte() & 1 ? 110 : 1);
    if (view == nullptr) return;
    if (id < 0) {
      view->RemoveAllDataSets();
    } else {
      view->RemoveDataSet(id);
    }
  }
  void SetPlotText() {
    PlotView* view = PickView();
    const int what = in_.Byte() % 5;
    const int i = static_cast<int>(in_.Byte() % 6) - 1;
    const std::string text = in_.Words();
    if (view == nullptr) return;
    switch (what) {
      case 0:
        view->SetLabel(i, Text(text));
        break;
      case 1:
        view->SetName(Text(text));
        break;
      case 2:
        view->SetSecondName(Text(text));
        break;
      case 3:
        view->SetLogAxis(i & 1, i & 2);
        break;
      default:
        view->SetData(Text(text));
        break;
    }
  }
  void CommandPlotView() {
    static constexpr const char* kCommands[] = {
        "ChangeTriangleType", "ViewPlotControl", "Toggle", "DeleteDisable"};
    PlotView* view = PickView();
    const int which = in_.Byte() % 4;
    if (view == nullptr) return;
    if (which == 2) {
      view->ToggleIntersection();
    } else if (which == 3) {
      view->SetDeleteDisable(!view->IsDeleteDisabled());
    } else {
      view->Message(kCommands[which]);
    }
    ClearOpenedViews();
  }
  // Deletes the plot (the view forgets it) or builds it again.
  void RebuildPlot() {
    PlotView* view = PickView();
    const bool drop = in_.Byte() & 1;
    if (view == nullptr) return;
    if (drop) {
      delete view->GetPlotObject();
    } else {
      view->ConstructPlot();
    }
  }
  void DeletePlotView() {
    if (in_.Byte() % 4 == 0) delete PickView();
  }
  void AddNamedPlot() {
    SaturationCurve* curve = PickCurve();
    const int type = in_.Byte() % 3;
    const bool lines = in_.Byte() & 1;
    const Text label(in_.Words());
    if (curve == nullptr) return;
    auto* named = new NamedPlot(curve, type, Text(in_.Name()));
    named->SetLabel("T", "p", "c");
    named->SetLogAxis(lines, !lines);
    named->AddDataSet(1, "Temperature.300.[]", "Pressure.300.[]", label,
                      GetColourID(1), lines ? kNoSymbol : 102, lines);
    named->AddArrowDataSet(2, "a0", "b1", GetColourID(2), lines);
  }

  Reader in_;
  unsigned families_;
  StepSink& sink_;
  const OperationObserver& observer_;
  std::unique_ptr<SimulationCase> case_;
  int round_trips_ = 0;
};

// What every program needs once per process.
void Configure() {
  static const bool configured = [] {
    ResetConfigStore();
    SetCommandLine(Text("round_trip_fuzz"));
    NotesProject::RegisterType();
    test_support::RegisterTestFeatures();
    // Report files go to one name; the memory file system keeps the last.
    SetFilePicker([](const Text&, const Text&, const FileFilters&,
                     const Text&) { return Text("/report.bug"); });
    return true;
  }();
  (void)configured;
}

void Run(Reader in, unsigned families, const OperationObserver& observer) {
  Configure();
  {
    MemoryFileSystem fs;
    ScopedFileSystem scoped_fs(&fs);
    StepSink sink;
    ScopedMessageSink scoped_sink(&sink);
    Program(in, families, &sink, observer).Run();
  }
  // Opening a view is logged; the log is not what is tested here. Keeping
  // it would also leave each input holding more memory than it started
  // with, which makes libFuzzer look for a leak after every input.
  ClearOpenedViews();
}

}  // namespace

void RunRoundTripProgram(const std::uint8_t* data, std::size_t size,
                         unsigned families, const OperationObserver& observer) {
  Run(Reader(data, size), families, observer);
}

void RunGeneratedRoundTripProgram(std::uint64_t seed, unsigned families,
                                  std::vector<std::uint8_t>* program) {
  Generator generator{Random(seed), 0, Program::Codes(families), 0, program};
  generator.operations = 1 + static_cast<int>(generator.random.Below(64));
  for (const WeightedCode& c : generator.codes) {
    generator.total_weight += c.weight;
  }
  Run(Reader(&generator), families, nullptr);
}

}  // namespace pemar::fuzz
