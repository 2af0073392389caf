// Every command of `sorvane`, described once: its synopsis, what it does, its options and an
// example. The argument parser, the help (`sorvane help COMMAND`, `COMMAND --help`), the manual
// page and the shell completion all come from this table.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sorvane::cli {

struct OptionSpec {
  std::vector<std::string> names; // the long name first ("--output"), then any short one ("-o")
  std::string value;              // the value's name ("OUT.pdf"); empty for a flag
  std::string help;
};

struct CommandSpec {
  std::string name;
  std::vector<std::string> synopses; // one line each, without "sorvane "
  std::string summary;               // one line, for the list of commands
  std::string description;           // a paragraph, for the command's own help
  std::vector<OptionSpec> options;
  std::string example;
};

// The commands, in the order the help lists them.
const std::vector<CommandSpec> &commandSpecs();
// The command named `name`, or null.
const CommandSpec *findCommand(const std::string &name);

// The general help (`sorvane --help`) and one command's help.
void printHelp(std::ostream &out);
void printCommandHelp(const CommandSpec &command, std::ostream &out);
// The manual page, in roff (man -l), and a bash completion script.
void printManPage(std::ostream &out, const std::string &version);
void printBashCompletion(std::ostream &out);

} // namespace sorvane::cli
