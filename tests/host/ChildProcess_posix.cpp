// POSIX only: posix_spawn with the output streams in temporary files.
#include "ChildProcess.h"

#include "SavedVariable.h"

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brantok::lumaro::host::test {
namespace {

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, count);
  return text;
}

} // namespace

ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  std::FILE* output = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  if (!output || !errors) throw std::runtime_error("no temporary files");
  std::vector<std::string> words{program.string()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fileno(output), 1);
  posix_spawn_file_actions_adddup2(&actions, fileno(errors), 2);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProcessResult result;
  if (spawned == 0) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.output = ReadAll(output);
  result.errors = ReadAll(errors);
  std::fclose(output);
  std::fclose(errors);
  return result;
}

std::optional<ProcessResult> RunProgramWithoutOpenCl(const std::filesystem::path& program,
                                                     const std::vector<std::string>& arguments,
                                                     const std::filesystem::path& folder) {
  const lumaro::test::SavedVariable saved("OCL_ICD_VENDORS");
  lumaro::test::SetEnvironment("OCL_ICD_VENDORS", folder.string());
  return RunProgram(program, arguments);
}

} // namespace brantok::lumaro::host::test
