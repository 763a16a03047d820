// The commands of mervane-cli. Each group of commands lives in a file of its own and adds its
// subcommands to the application; the callback it registers runs after the global options have
// been prepared.
#pragma once

#include <functional>

#include "cli/context.h"

namespace CLI {
class App;
}

namespace mervane::cli {

// Registers a command body: it runs with the prepared context and returns the exit code.
using Body = std::function<int(Context&)>;
void on_run(CLI::App& command, Context& ctx, Body body);

void add_list_command(CLI::App& app, Context& ctx);
void add_check_command(CLI::App& app, Context& ctx);
void add_import_commands(CLI::App& app, Context& ctx);
void add_build_commands(CLI::App& app, Context& ctx);
void add_analysis_commands(CLI::App& app, Context& ctx);
void add_history_commands(CLI::App& app, Context& ctx);
void add_swap_commands(CLI::App& app, Context& ctx);
void add_terminals_command(CLI::App& app, Context& ctx);
void add_watch_command(CLI::App& app, Context& ctx);
// swap rate|data set|delete, under the swap command.
void add_swap_table_commands(CLI::App& swap, Context& ctx);

// effects [--set NAME=VALUE]...: the Build window's Effects button (in cmd_build.cpp).
int effects_analysis(Context& c, const std::vector<std::string>& set_args);

// Every group, in the order --help lists them.
inline void add_all_commands(CLI::App& app, Context& ctx) {
  add_list_command(app, ctx);
  add_check_command(app, ctx);
  add_import_commands(app, ctx);
  add_build_commands(app, ctx);
  add_analysis_commands(app, ctx);
  add_terminals_command(app, ctx);
  add_history_commands(app, ctx);
  add_swap_commands(app, ctx);
  add_watch_command(app, ctx);
}

}  // namespace mervane::cli
