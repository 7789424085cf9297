#include "tools/slotdrive/command_line.h"

namespace slotdrive {

bool CommandLine::Parse(const std::vector<std::string>& args,
                        const std::vector<OptionRule>& rules, std::string& error) {
  m_options.clear();
  m_positionals.clear();
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      if (arg == "--" && !optionsEnded) {
        optionsEnded = true;
        continue;
      }
      m_positionals.push_back(arg);
      continue;
    }
    const std::string name = arg.substr(2);
    const OptionRule* rule = nullptr;
    for (const OptionRule& candidate : rules)
      if (name == candidate.name) rule = &candidate;
    if (rule == nullptr) {
      error = "unknown option '" + arg + "'";
      return false;
    }
    if (!rule->repeatable && Has(name)) {
      error = "option '" + arg + "' given twice";
      return false;
    }
    std::string value;
    if (rule->takesValue) {
      if (i + 1 >= args.size()) {
        error = "option '" + arg + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    m_options[name].push_back(value);
  }
  return true;
}

std::string CommandLine::Value(const std::string& name, const std::string& fallback) const {
  auto it = m_options.find(name);
  return it == m_options.end() || it->second.empty() ? fallback : it->second.front();
}

std::vector<std::string> CommandLine::Values(const std::string& name) const {
  auto it = m_options.find(name);
  return it == m_options.end() ? std::vector<std::string>() : it->second;
}

}  // namespace slotdrive
