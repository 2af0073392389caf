#include "plugin/shell/sequence_command.h"

#include "plugin/engine/bookmark_builder.h"
#include "plugin/shell/plugin_state.h"
#include "plugin/ui/generate_dialog.h"
#include "plugin/values/cabinet_io.h"
#include "plugin/values/text_values.h"
#include "sdk/host_error.h"
#include "sdk/imported_tables.h"

namespace sorvane {
namespace {

AcroViewTable &view() { return hostTables().acroView.must(); }

// The record's procedures: plain functions that forward to one command object.
template <BatchCommandBase &(*Command)()> void installProcedures(CommandHandlerRecord &record) {
  record.initialize = [] { return Command().initialize(); };
  record.terminate = [] { return Command().terminate(); };
  record.registerCommands = [] { Command().registerCommands(); };
  record.createCommand = [](CommandHandle c) { Command().createCommand(c); };
  record.setParams = [](CommandHandle c, CabinetHandle p) { return Command().setParams(c, p); };
  record.getParams = [](CommandHandle c, CabinetHandle p) { Command().getParams(c, p); };
  record.getProps = [](CommandHandle c, CabinetHandle p) { Command().getProps(c, p); };
  record.showDialog = [](CommandHandle c) { return Command().showDialog(c); };
  record.work = [](CommandHandle c) { return Command().work(c); };
  record.cancel = [](CommandHandle c) {
    return Command().cancelOrReset(c, CommandStatus::Cancelled);
  };
  record.reset = [](CommandHandle c) { return Command().cancelOrReset(c, CommandStatus::Ready); };
}

BatchCommandBase &theBuildCommand() { return buildCommand(); }
BatchCommandBase &theLearnCommand() { return learnCommand(); }

} // namespace

void BatchCommandBase::setUp() {
  name = hostTables().core->atomFromString("TAVO:NoName");
  m_record = std::make_unique<CommandHandlerRecord>();
}

void BatchCommandBase::release() {
  m_defaults.reset();
  m_record.reset();
}

bool BatchCommandBase::initialize() {
  try {
    if (m_defaults)
      cabinets().cabinetMakeEmpty(m_defaults.get());
    else
      m_defaults = OwnedCabinet(cabinets(), cabinets().cabinetNew());
    writeDefaults(m_defaults.get());
    return true;
  } catch (const HostError &) {
    return false;
  }
}

bool BatchCommandBase::terminate() {
  release();
  return true;
}

void BatchCommandBase::registerCommands() {
  try {
    if (!view().commandGlobalExists(name))
      view().commandRegisterGlobal(view().commandNew(name));
  } catch (const HostError &) {
  }
}

void BatchCommandBase::createCommand(CommandHandle command) {
  try {
    const OwnedCabinet empty(cabinets(), cabinets().cabinetNew());
    view().commandSetParams(command, empty.get());
  } catch (const HostError &) {
  }
}

CommandStatus BatchCommandBase::setParams(CommandHandle command, CabinetHandle params) {
  try {
    OwnedCabinet copy(cabinets(), cabinets().cabinetDup(params));
    if (!validateParams(copy.get()))
      return CommandStatus::InError;
    if (m_defaults)
      cabinets().cabinetMerge(copy.get(), m_defaults.get(), CabinetMergeMode::AddMissing);
    view().commandPutCab(command, "Params", copy.release()); // the command owns it now
    view().commandPutCab(command, "ParamsDesc", CabinetHandle());
    return CommandStatus::Ready;
  } catch (const HostError &) {
    return CommandStatus::InError;
  }
}

void BatchCommandBase::getParams(CommandHandle command, CabinetHandle params) {
  try {
    cabinets().cabinetMakeEmpty(params);
    CabinetHandle own = view().commandGetCab(command, "Params", true);
    cabinets().cabinetMerge(params, own, CabinetMergeMode::ReplaceAll);
  } catch (const HostError &) {
    try {
      cabinets().cabinetMakeEmpty(params);
    } catch (const HostError &) {
    }
  }
}

void BatchCommandBase::getProps(CommandHandle command, CabinetHandle props) {
  try {
    ASExtraTable &x = cabinets();
    const bool all = x.cabinetNumKeys(props) == 0;
    auto wanted = [&](const char *key) { return all || x.cabinetKnown(props, key); };
    if (wanted("GroupTitle"))
      writeTextValue(groupTitle, "GroupTitle", props);
    if (wanted("CanBatch"))
      x.cabinetPutBool(props, "CanBatch", canBatch);
    if (wanted("CanDescribeParams"))
      x.cabinetPutBool(props, "CanDescribeParams", canDescribeParams);
    if (wanted("CanShowDialog"))
      x.cabinetPutBool(props, "CanShowDialog", canShowDialog);
    if (wanted("GenericTitle"))
      writeTextValue(genericTitle, "GenericTitle", props);
    if (wanted("Title"))
      writeTextValue(title, "Title", props);
    if (wanted("ParamsDesc")) {
      CabinetHandle desc = view().commandGetCab(command, "ParamsDesc", false);
      if (!desc) {
        const OwnedCabinet params(x, x.cabinetNew());
        getParams(command, params.get());
        OwnedCabinet described(x, x.cabinetNew());
        describeParams(params.get(), described.get());
        desc = described.release();
        view().commandPutCab(command, "ParamsDesc", desc);
      }
      x.cabinetPutCabinet(props, "ParamsDesc", x.cabinetDup(desc));
    }
  } catch (const HostError &) {
  }
}

CommandStatus BatchCommandBase::showDialog(CommandHandle command) {
  CommandStatus status = CommandStatus::InError;
  try {
    const OwnedCabinet owned(cabinets(), cabinets().cabinetNew());
    const CabinetHandle params = owned.get();
    getParams(command, params);
    if (editParams(params) == 1) {
      view().commandSetParams(command, params);
      // The description of the old parameters no longer holds.
      view().commandPutCab(command, "ParamsDesc", CabinetHandle());
      status = CommandStatus::Ready;
    } else {
      status = CommandStatus::Cancelled;
    }
  } catch (const HostError &) {
    status = CommandStatus::InError;
  }
  return status;
}

CommandStatus BatchCommandBase::work(CommandHandle command) {
  try {
    CabinetHandle params = view().commandGetCab(command, "Params", false);
    DocHandle doc = view().commandGetDoc(command);
    void *monitorData = nullptr;
    const ProgressMonitor *monitor = view().commandGetProgressMonitor(command, &monitorData);
    view().commandGetCab(command, "CommandState", true);
    if (!doc)
      return CommandStatus::InError;
    // (This host has no document windows, so there is no cursor to save and restore.)
    try {
      run(command, doc, params, monitor, monitorData);
    } catch (const HostError &e) {
      RunOutcome failure;
      failure.stopCode = e.code();
      failure.stopReason = e.text();
      view().commandReport(command, failure);
      return CommandStatus::InError;
    }
    return CommandStatus::Done;
  } catch (const HostError &) {
    return CommandStatus::InError;
  }
}

CommandStatus BatchCommandBase::cancelOrReset(CommandHandle command, CommandStatus answer) {
  try {
    if (view().commandGetCab(command, "CommandState", false)) {
      void *data = nullptr;
      const ProgressMonitor *monitor = view().commandGetProgressMonitor(command, &data);
      if (monitor && monitor->endOperation)
        monitor->endOperation(data);
    }
    view().commandPutCab(command, "CommandState", CabinetHandle());
    return answer;
  } catch (const HostError &) {
    return CommandStatus::InError;
  }
}

BuildCommand::BuildCommand() {
  genericTitle = kTitle;
  title = kTitle;
}

void BuildCommand::setUp() {
  BatchCommandBase::setUp();
  name = hostTables().core->atomFromString(kName);
  genericTitle = kTitle;
  title = kTitle;
  auto *record = const_cast<CommandHandlerRecord *>(handlerRecord());
  installProcedures<theBuildCommand>(*record);
  view().commandRegisterHandler(name, record);
}

void LearnCommand::setUp() {
  BatchCommandBase::setUp();
  name = hostTables().core->atomFromString(kName);
  genericTitle = kTitle;
  title = kTitle;
  auto *record = const_cast<CommandHandlerRecord *>(handlerRecord());
  installProcedures<theLearnCommand>(*record);
  view().commandRegisterHandler(name, record);
}

void BuildCommand::describeParams(CabinetHandle params, CabinetHandle description) {
  BookmarkBuilder builder;
  builder.read(params);
  ASExtraTable &x = cabinets();
  x.cabinetPutInt(description, "NumLevels", static_cast<int32_t>(builder.levels.size()));
  for (size_t i = 0; i < builder.levels.size(); ++i)
    writeTextValue(builder.levels[i].describeLevel(), "Level" + std::to_string(i), description);

  StringList lines;
  lines.push_back("Pages: from " + std::to_string(int64_t(builder.firstPage) + 1) + " to " +
                  (builder.lastPage < 0 ? std::string("the end")
                                        : std::to_string(int64_t(builder.lastPage) + 1)));
  const char *places[] = {"before the existing bookmarks", "after the existing bookmarks",
                          "instead of the existing bookmarks"};
  const int32_t insert = builder.insertType;
  lines.push_back(std::string("New bookmarks go ") +
                  places[insert >= 0 && insert <= 2 ? insert : 1]);
  lines.push_back(
      std::string("Sort headings by position: ") + (builder.sortText ? "yes" : "no") +
      "; drop repeated headings: " + (builder.skipDupBookmarks ? "yes" : "no") +
      "; keep headings without a parent level: " + (builder.keepOrphanHeadings ? "yes" : "no") +
      "; ignore table of contents lines: " + (builder.skipContentsLines ? "yes" : "no"));
  std::string words = std::string("Stop words: ") + (builder.ignoreStopWords ? "on" : "off");
  for (size_t i = 0; i < builder.stopWords.size(); ++i)
    words += (i ? ", \"" : " \"") + builder.stopWords[i] + "\"";
  lines.push_back(words);
  writeStringList(lines, "Lines", description);

  // The settings as they are read, every key written out: a file that documents itself.
  builder.writeNamed("Complete", description);

  StringList problems;
  for (const SettingsProblem &p : BookmarkBuilder::check(params))
    problems.push_back(p.path + " " + p.message);
  writeStringList(problems, "Problems", description);
}

int BuildCommand::editParams(CabinetHandle params) {
  BookmarkBuilder settings;
  settings.read(params); // an empty Cabinet gives no levels
  // Batch mode: the remembered defaults are neither read nor written.
  if (!editBuildSettings(settings, std::string(), plugInState().helpFile))
    return 0;
  cabinets().cabinetMakeEmpty(params);
  return settings.write(params) ? 1 : 2;
}

bool BuildCommand::run(CommandHandle command, DocHandle doc, CabinetHandle params,
                       const ProgressMonitor *monitor, void *monitorData) {
  BookmarkBuilder builder;
  if (!builder.read(params)) {
    view().commandReport(command, RunOutcome()); // nothing was done
    return false;
  }
  const RunOutcome outcome = builder.generate(doc, monitor, monitorData);
  view().commandReport(command, outcome);
  return outcome.ran;
}

// What a key missing from the parameters means: what reading a settings file without it gives
// (the reader's defaults), so that a file does the same whichever host reads it.
void BuildCommand::writeDefaults(CabinetHandle defaults) {
  BookmarkBuilder read;
  const OwnedCabinet empty(cabinets(), cabinets().cabinetNew());
  read.read(empty.get());
  read.write(defaults);
}

BuildCommand &buildCommand() {
  static BuildCommand command;
  return command;
}

} // namespace sorvane
