// The command line of a slotdrive subcommand: options of the form "--name" or "--name VALUE",
// then the positional arguments. Each subcommand states which options it takes.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace slotdrive {

struct OptionRule {
  const char* name;  // without the leading "--"
  bool takesValue;
  bool repeatable;
};

class CommandLine {
 public:
  // Parses args (the arguments after the subcommand name) against the options a command
  // takes. "--" ends the options. False with a reason for an unknown, repeated or
  // value-less option.
  bool Parse(const std::vector<std::string>& args, const std::vector<OptionRule>& rules,
             std::string& error);

  bool Has(const std::string& name) const { return m_options.count(name) != 0; }
  // The value of a single option, or fallback when it is absent.
  std::string Value(const std::string& name, const std::string& fallback = "") const;
  // Every value of a repeatable option, in command-line order.
  std::vector<std::string> Values(const std::string& name) const;
  const std::vector<std::string>& Positionals() const { return m_positionals; }

 private:
  std::map<std::string, std::vector<std::string>> m_options;
  std::vector<std::string> m_positionals;
};

}  // namespace slotdrive
