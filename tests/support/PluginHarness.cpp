#include "support/PluginHarness.h"

#include <stdexcept>

#include "plugin/Entry.h"

PluginHarness::PluginHarness(bool loadNow) : game_(std::make_unique<sim::Game>(root_.path())) {
  plugin_ = static_cast<Lumaro*>(getPlugin()->get());
  plugin_->cvarManager = game_->cvarManagerWrapper();
  plugin_->gameWrapper = game_->gameWrapper();
  if (loadNow) load();
}

PluginHarness::~PluginHarness() {
  if (loaded_) plugin_->onUnload();
  deleteMe();
  game_.reset();
}

void PluginHarness::load() {
  plugin_->onLoad();
  loaded_ = true;
}

std::vector<std::string> PluginHarness::newLines() {
  const auto& all = game_->console().lines();
  std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(linesSeen_), all.end());
  linesSeen_ = all.size();
  return fresh;
}

sim::KismetVariable& PluginHarness::variable(const std::string& name, sim::VariableType type) {
  sim::KismetVariable* found = game_->variable(name, type);
  if (found == nullptr) throw std::logic_error("the map has no variable " + name);
  return *found;
}
