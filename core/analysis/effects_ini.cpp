#include "core/analysis/effects_ini.h"

#include <algorithm>

#include "core/model/session.h"

namespace mervane {
namespace {

constexpr std::size_t kPathAt = 0, kOffsetsAt = 99, kCodeAt = 147, kPathMoreAt = 151;
constexpr std::size_t kPathFirst = 99;  // the characters of the path before the offsets

void put_text(EffIniRecord& rec, std::size_t at, std::string_view text, std::size_t width) {
  std::copy_n(text.begin(), std::min(text.size(), width), rec.begin() + at);
}

}  // namespace

EffIniRecord encode_eff_ini(const EffectsSettings& s) {
  EffIniRecord rec;
  rec.fill(' ');
  const std::string_view path = s.histpath.view();
  put_text(rec, kPathAt, path, kPathFirst);
  if (path.size() > kPathFirst) put_text(rec, kPathMoreAt, path.substr(kPathFirst), kHistPathWidth - kPathFirst);
  for (std::size_t i = 0; i < s.timeint.size(); ++i) {
    const auto v = static_cast<std::uint16_t>(s.timeint[i]);
    rec[kOffsetsAt + 2 * i] = static_cast<unsigned char>(v & 0xFF);
    rec[kOffsetsAt + 2 * i + 1] = static_cast<unsigned char>(v >> 8);
  }
  put_text(rec, kCodeAt, s.chartint.view(), decltype(s.chartint)::width);
  return rec;
}

EffectsSettings decode_eff_ini(const unsigned char* bytes) {
  EffectsSettings s;
  const auto text = [&](std::size_t at, std::size_t n) {
    return std::string_view(reinterpret_cast<const char*>(bytes + at), n);
  };
  // The rest of a long path counts only behind a first part that fills its 99 bytes: what
  // another program left in the blank bytes after a short path is not part of it.
  std::string path(text(kPathAt, kPathFirst));
  if (path.back() != ' ') path += text(kPathMoreAt, kHistPathWidth - kPathFirst);
  s.histpath = path;
  for (std::size_t i = 0; i < s.timeint.size(); ++i) {
    const auto lo = static_cast<std::uint16_t>(bytes[kOffsetsAt + 2 * i]);
    const auto hi = static_cast<std::uint16_t>(bytes[kOffsetsAt + 2 * i + 1]);
    s.timeint[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
  }
  s.chartint = text(kCodeAt, decltype(s.chartint)::width);
  return s;
}

std::filesystem::path EffectsIni::path() const {
  return folder_ / std::string(kEffIniFile);
}

bool EffectsIni::open_or_create(Reporter& r) {
  if (file_.open(path(), true).is_ok()) return true;
  stop_if_failed(r, "Create", kEffIniFile, file_.create(path()));
  file_.close();
  return !stop_if_failed(r, "Open", kEffIniFile, file_.open(path(), true));
}

bool EffectsIni::open_existing(Reporter& r) {
  return !stop_if_failed(r, "Open", kEffIniFile, file_.open(path(), false));
}

void EffectsIni::get(Reporter& r, EffectsSettings& s) {
  EffIniRecord rec;
  rec.fill(' ');
  std::size_t got = 0;
  Status st = file_.read(1, rec.size(), rec.data(), &got);
  // Only the settings' own bytes must be there; the padding after them carries nothing.
  if (st.code == kRecordNotAvailable && got >= kEffIniUsed) st = Status::ok();
  if (stop_if_failed(r, "Get", kEffIniFile, st)) {
    s = EffectsSettings{};
    return;
  }
  s = decode_eff_ini(rec.data());
}

void EffectsIni::put(Reporter& r, const EffectsSettings& s) {
  const EffIniRecord rec = encode_eff_ini(s);
  stop_if_failed(r, "Put", kEffIniFile, file_.write(1, rec.data(), rec.size()));
}

EffectsSettings load_effects_settings(Session& s, Reporter& r) {
  s.with([](Globals& g) { g.dosfilename = kEffIniFile; });
  EffectsIni ini(s.folder());
  EffectsSettings g3;
  // After an Ignored "Open(" the read could only fail again: one message is enough.
  if (ini.open_existing(r)) ini.get(r, g3);
  ini.close();
  s.set_g3(g3);
  return g3;
}

}  // namespace mervane
