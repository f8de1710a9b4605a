#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace brantok::lumaro::correction::effects::library {

// The entries of an effect package that the plug-in reads. Other entries are
// ignored.
enum class EntryContent : std::int32_t {
  Prompt = 0,   // "prompt.txt", optional
  Kernel = 1,   // "kernel.cl"
  Metadata = 2, // "metadata.json"
};

// The entry's name inside the package; throws std::out_of_range with
// "Unknown EntryContent value" for any other value.
std::filesystem::path GetEntryName(EntryContent content);

// The raw bytes of the entry at the root of the package, matched ignoring
// ASCII case, with the CRC checked. The package file is read anew on every
// call. Throws std::runtime_error with "Failed to open zip file: <path>",
// "Entry not found in zip: <name>" or "Failed to extract entry: <name>".
std::string ReadEntry(EntryContent content, const std::filesystem::path& package);
// The same from the package file's bytes, read earlier (null when they could
// not be read); `package` names the file in messages.
std::string ReadEntry(EntryContent content, const std::shared_ptr<const std::string>& bytes,
                      const std::filesystem::path& package);

// As ReadEntry, but a failure is logged ("Failed to deserialise entry content
// ...") and gives false with `out` empty instead of an exception; `why`, when
// given, receives the failure's text.
bool TryReadEntry(EntryContent content, const std::filesystem::path& package, std::string& out);
bool TryReadEntry(EntryContent content, const std::shared_ptr<const std::string>& bytes,
                  const std::filesystem::path& package, std::string& out, std::string* why = nullptr);

} // namespace brantok::lumaro::correction::effects::library
