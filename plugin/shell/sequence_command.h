// The "Generate Bookmarks" command of the host's batch sequences.
#pragma once

#include <memory>
#include <string>

#include "sdk/atom.h"
#include "sdk/batch_command.h"
#include "sdk/handles.h"
#include "sdk/owned_cabinet.h"
#include "sdk/progress_monitor.h"

namespace sorvane {

// A generic adapter between the host's command handler record and overridable operations.
class BatchCommandBase {
public:
  BatchCommandBase() = default;
  // A command left set up when the process ends leaves its Cabinet to the host, which may be
  // gone by then: release() frees it while the host is there.
  virtual ~BatchCommandBase() { m_defaults.release(); }
  BatchCommandBase(const BatchCommandBase &) = delete;
  BatchCommandBase &operator=(const BatchCommandBase &) = delete;

  bool canDescribeParams = true;
  bool canBatch = true;
  bool canShowDialog = true;
  std::string groupTitle = "Document";
  std::string genericTitle = "Unknown";
  std::string title = "Undefined";
  Atom name = Atom::Null;

  // Registers the handler record with the host under `name`. Throws HostError.
  virtual void setUp();
  // Releases the default parameters and the handler record.
  void release();

  // The procedures of the handler record.
  bool initialize();
  bool terminate();
  void registerCommands();
  void createCommand(CommandHandle command);
  CommandStatus setParams(CommandHandle command, CabinetHandle params);
  void getParams(CommandHandle command, CabinetHandle params);
  void getProps(CommandHandle command, CabinetHandle props);
  CommandStatus showDialog(CommandHandle command);
  CommandStatus work(CommandHandle command);
  CommandStatus cancelOrReset(CommandHandle command, CommandStatus answer);

  const CommandHandlerRecord *handlerRecord() const { return m_record.get(); }
  CabinetHandle defaults() const { return m_defaults.get(); }

protected:
  virtual bool validateParams(CabinetHandle params) = 0;
  virtual void describeParams(CabinetHandle params, CabinetHandle description) = 0;
  // The dialog's result: 1 for OK.
  virtual int editParams(CabinetHandle params) = 0;
  virtual bool run(CommandHandle command, DocHandle doc, CabinetHandle params,
                   const ProgressMonitor *monitor, void *monitorData) = 0;
  // The default parameters every command starts from.
  virtual void writeDefaults(CabinetHandle defaults) = 0;

private:
  std::unique_ptr<CommandHandlerRecord> m_record;
  OwnedCabinet m_defaults;
};

class BuildCommand final : public BatchCommandBase {
public:
  static constexpr const char *kName = "TAVO_SorvaneBuildCommand";
  static constexpr const char *kTitle = "Generate Bookmarks";

  BuildCommand();
  void setUp() override;

protected:
  bool validateParams(CabinetHandle) override { return true; }
  // "NumLevels" and, for each level, its one-line description under "Level0", "Level1", ...;
  // under "Lines" (a list of texts) the other settings in words; under "Problems" (a list of
  // texts) what the settings check finds, each starting with its key path; under "Complete" the
  // settings as they are read, with every key.
  void describeParams(CabinetHandle params, CabinetHandle description) override;
  int editParams(CabinetHandle params) override;
  // Generates on `doc` and reports the outcome through the host's report procedure. False when
  // nothing was done (no parameters, no levels).
  bool run(CommandHandle command, DocHandle doc, CabinetHandle params,
           const ProgressMonitor *monitor, void *monitorData) override;
  void writeDefaults(CabinetHandle defaults) override;
};

// Learns level rules from a document's own outline (rule_learning.h). It changes nothing: the
// rules it learned go into its parameters, under "LearnedRules" (build settings, as a settings
// file holds them under "BuildSettings") and "LearnReport" (a text: JSON that says what each
// level takes and how the rules reproduce the outline).
class LearnCommand final : public BatchCommandBase {
public:
  static constexpr const char *kName = "TAVO_SorvaneLearnCommand";
  static constexpr const char *kTitle = "Learn Rules from Bookmarks";

  LearnCommand();
  void setUp() override;

protected:
  bool validateParams(CabinetHandle) override { return true; }
  void describeParams(CabinetHandle, CabinetHandle) override {}
  int editParams(CabinetHandle) override { return 0; }
  bool run(CommandHandle command, DocHandle doc, CabinetHandle params,
           const ProgressMonitor *monitor, void *monitorData) override;
  void writeDefaults(CabinetHandle) override {}
};

// The plug-in's batch commands.
BuildCommand &buildCommand();
LearnCommand &learnCommand();

} // namespace sorvane
