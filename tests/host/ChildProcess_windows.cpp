// Windows only: CreateProcessW with the output streams in temporary files.
#include "ChildProcess.h"

#include "core/PathText.h"
#include "core/WindowsSupport.h"

#include <stdexcept>

namespace brantok::lumaro::host::test {
namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

HANDLE TemporaryFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t path[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"lht", 0, path)) return INVALID_HANDLE_VALUE;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadAll(HANDLE file) {
  std::string text;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    for (DWORD i = 0; i < count; ++i) {
      if (buffer[i] != '\r') text.push_back(buffer[i]);
    }
  }
  return text;
}

} // namespace

ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  HANDLE output = TemporaryFile();
  HANDLE errors = TemporaryFile();
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE input =
      CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE || errors == INVALID_HANDLE_VALUE) throw std::runtime_error("no temporary files");

  std::wstring commandLine = Quote(program.wstring());
  for (const auto& argument : arguments) commandLine += L" " + Quote(core::PathFromUtf8(argument).wstring());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION process{};
  ProcessResult result;
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  result.output = ReadAll(output);
  result.errors = ReadAll(errors);
  CloseHandle(output);
  CloseHandle(errors);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  return result;
}

std::optional<ProcessResult> RunProgramWithoutOpenCl(const std::filesystem::path& program,
                                                     const std::vector<std::string>& arguments,
                                                     const std::filesystem::path& folder) {
  // Wine's ntdll exports its version, Windows' does not.
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return std::nullopt;
  // Wine reads its DLL overrides at a program's start from its own
  // environment, which a Windows parent cannot set, or from the registry,
  // per program name: a copy under a name of its own keeps the override to
  // this run.
  const auto copy = folder / (program.stem().wstring() + L"-without-opencl.exe");
  if (!std::filesystem::exists(copy)) std::filesystem::copy_file(program, copy);
  const std::wstring key = L"Software\\Wine\\AppDefaults\\" + copy.filename().wstring();
  HKEY overrides = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, (key + L"\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &overrides, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write Wine's DLL overrides");
  }
  // An empty load order: not loaded at all.
  const wchar_t disabled[] = L"";
  const LSTATUS set =
      RegSetValueExW(overrides, L"opencl", 0, REG_SZ, reinterpret_cast<const BYTE*>(disabled), sizeof disabled);
  RegCloseKey(overrides);
  if (set != ERROR_SUCCESS) throw std::runtime_error("cannot write Wine's DLL overrides");
  ProcessResult result;
  try {
    result = RunProgram(copy, arguments);
  } catch (...) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    throw;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  return result;
}

} // namespace brantok::lumaro::host::test
