// The effect build check. The parent starts its own executable again (/proc/self/exe, so the
// program, the GL tests, the bench and tobrin-fxc are each their own checker), in a new process
// group; main() hands the child to EnterEffectCheckIfAsked by the private first argument. The child
// makes a hidden SDL window with a GL 3.3 core context on the same display (so the same driver
// compiles as for the program), compiles the effect file, loads the result into GL, draws with it,
// and writes the compiled effect to a pipe. The parent waits with a deadline, kills the group on
// overrun, reads the wait status and checks the answer before it loads the effect itself.
// A child's own start (process, SDL, GL context, glslang's tables) costs about 100 ms on llvmpipe,
// as much as the build it checks, so the first graphics context of a process starts one checker
// ahead: it makes its context while the program loads its meshes, then waits on a socket for the
// file to check. Later checks (the tests build many effects) start a child of their own each.
// Limits: Linux (posix_spawn, /proc/self/exe, setrlimit).
#include "render/gfx/gl/effect_check.hpp"

#include <epoxy/gl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <utility>

#include "compiler/compile_effect.hpp"
#include "compiler/effect_binary.hpp"
#include "formats/file_names.hpp"
#include "render/gfx/gl/effect_gl.hpp"
#include "render/gfx/gl/offscreen_gl.hpp"

extern char** environ;

namespace gfx::gl {
namespace {

constexpr const char* kChildArgument = "--tobrin-effect-check-child";
// A checker started ahead: FD is a socket on which the request arrives (see SendRequest).
constexpr const char* kWaitingChildArgument = "--tobrin-effect-check-waiting";
// A working directory and a file name; longer requests are not sent to the waiting checker.
constexpr size_t kMaxRequestBytes = 16384;
// The largest compiled effect and its header; what lies beyond is dropped, not waited on.
constexpr size_t kMaxAnswerBytes = compiler::kMaxCompiledEffectBytes + 16;

// The child's answer: one status byte, the HRESULT and the length of what follows (4 bytes each,
// native order), then the compiled effect's binary form (kBuilt) or the error text. The parent
// takes a whole answer without waiting for the child's exit (process teardown costs milliseconds).
constexpr size_t kAnswerHeader = 1 + sizeof(HRESULT) + sizeof(uint32_t);
constexpr char kBuilt = 'B', kFailed = 'F', kNoContext = 'N';

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

double budgetSeconds = 10.0;
uint64_t budgetBytes = uint64_t{2} << 30;
bool canCheck = false;  // main() called EnterEffectCheckIfAsked

void WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t wrote = ::write(fd, p, size);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    p += wrote;
    size -= static_cast<size_t>(wrote);
  }
}

[[noreturn]] void Answer(int fd, char status, HRESULT result, const std::string& text) {
  const uint32_t length = static_cast<uint32_t>(text.size());
  WriteAll(fd, &status, 1);
  WriteAll(fd, &result, sizeof result);
  WriteAll(fd, &length, sizeof length);
  WriteAll(fd, text.data(), text.size());
  // No destructors, no driver teardown: the answer is given and nothing else may hang or crash.
  ::_exit(0);
}

// One triangle in the middle of a small target, with the three inputs every vertex stage reads
// (position, normal, texture coordinate at locations 0, 1, 2).
void DrawTriangle() {
  static const float kVertices[] = {-0.5f, -0.5f, 0.5f, 0, 0, -1, 0,    0,  //
                                    0.5f,  -0.5f, 0.5f, 0, 0, -1, 1,    0,  //
                                    0.0f,  0.5f,  0.5f, 0, 0, -1, 0.5f, 1};
  GLuint array = 0, buffer = 0;
  glGenVertexArrays(1, &array);
  glBindVertexArray(array);
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof kVertices, kVertices, GL_STATIC_DRAW);
  const GLsizei stride = 8 * sizeof(float);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(3 * sizeof(float)));
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(6 * sizeof(float)));
  for (GLuint i = 0; i < 3; ++i) glEnableVertexAttribArray(i);
  glDrawArrays(GL_TRIANGLES, 0, 3);
}

// A driver that compiles shaders to machine code sets its compiler up on the first draw (llvmpipe:
// LLVM, some 50-80 ms); the checker started ahead draws once with a program of its own while it
// waits, so the check's draws find it ready.
void WarmDriver() {
  const char* const vertex =
      "#version 330 core\nlayout(location = 0) in vec3 p;\n"
      "void main() { gl_Position = vec4(p, 1.0); }\n";
  const char* const fragment = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
  const GLuint program = glCreateProgram();
  for (const auto& [kind, text] :
       {std::pair{GL_VERTEX_SHADER, vertex}, std::pair{GL_FRAGMENT_SHADER, fragment}}) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    glAttachShader(program, shader);
    glDeleteShader(shader);
  }
  glLinkProgram(program);
  glUseProgram(program);
  DrawTriangle();
  glFinish();
  glUseProgram(0);
  glDeleteProgram(program);
}

void LimitChild(uint64_t bytes) {
  if (!kSanitized && bytes > 0) {
    const rlimit memory{bytes, bytes};
    ::setrlimit(RLIMIT_AS, &memory);
  }
}

// The check's GL 3.3 core context: surfaceless EGL, which starts in half the time of a window on
// the display (so the checker started ahead is ready sooner), where it offers one. Answers and
// exits without any context.
void MakeChildContext(int fd) {
  // A crash here is expected now and then; it must not leave a core file in the user's folder.
  const rlimit noCore{0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  std::string how, why;
  if (!MakeOffscreenContext(OffscreenKind::Surfaceless, &how, &why))
    Answer(fd, kNoContext, S_OK, why);
}

// The check must meet the driver the program draws with. When the program's renderer is not the
// one the surfaceless context got (another vendor's driver, say), the check moves to a hidden
// window on the program's display, which gets the program's driver.
void UseRenderer(int fd, const char* renderer) {
  const char* own = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer[0] || (own && std::strcmp(own, renderer) == 0)) return;
  std::string how, why;
  if (!MakeOffscreenContext(OffscreenKind::HiddenWindow, &how, &why))
    Answer(fd, kNoContext, S_OK, why);
}

[[noreturn]] void CheckInChild(int fd, const char* fileName) {
  std::string answer;
  try {
    compiler::CompiledEffect compiled;
    std::string error;
    switch (compiler::CompileEffectFile(fileName, &compiled, &error)) {
      case compiler::CompileResult::FileMissing: Answer(fd, kFailed, E_NOTFOUND, error);
      case compiler::CompileResult::Failed: Answer(fd, kFailed, E_FAIL, error);
      case compiler::CompileResult::Compiled: break;
    }
    Effect* effect = nullptr;
    if (!LoadCompiledEffect(compiled, &effect, &error)) Answer(fd, kFailed, E_FAIL, error);
    DrawEveryPass(effect);
    glFinish();
    answer = compiler::WriteCompiledEffect(compiled);
  } catch (const std::bad_alloc&) {
    Answer(fd, kFailed, E_OUTOFMEMORY, "");
  }
  Answer(fd, kBuilt, S_OK, answer);
}

// The program's renderer, as GL names it; empty without a current context.
std::string Renderer() {
  const GLubyte* name = glGetString(GL_RENDERER);
  return name ? reinterpret_cast<const char*>(name) : "";
}

// The waiting checker's request: the parent's working directory, NUL, the file name as given
// (so messages spell it as the parent would), NUL, the memory budget in decimal, NUL, the
// program's renderer, NUL.
std::string Request(const char* fileName) {
  char folder[4096];
  if (!::getcwd(folder, sizeof folder)) return {};
  std::string request = folder;
  request += '\0';
  request += fileName;
  request += '\0';
  request += std::to_string(budgetBytes);
  request += '\0';
  request += Renderer();
  request += '\0';
  return request.size() <= kMaxRequestBytes ? request : std::string();
}

// Reads the request; the parent closing its end without one (it built no effect) ends the child.
[[noreturn]] void WaitForRequest(int fd) {
  std::string request;
  char chunk[4096];
  while (std::count(request.begin(), request.end(), '\0') < 4) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || request.size() > kMaxRequestBytes) ::_exit(0);
    request.append(chunk, static_cast<size_t>(got));
  }
  const char* folder = request.c_str();
  const char* fileName = folder + std::strlen(folder) + 1;
  const char* bytes = fileName + std::strlen(fileName) + 1;
  const char* renderer = bytes + std::strlen(bytes) + 1;
  if (::chdir(folder) != 0) Answer(fd, kNoContext, S_OK, "cannot enter the working directory");
  UseRenderer(fd, renderer);
  LimitChild(std::strtoull(bytes, nullptr, 10));
  CheckInChild(fd, fileName);
}

using Clock = std::chrono::steady_clock;

std::string Seconds(double seconds) {
  char text[32];
  if (seconds == static_cast<int>(seconds))
    std::snprintf(text, sizeof text, "%d", static_cast<int>(seconds));
  else
    std::snprintf(text, sizeof text, "%.1f", seconds);
  return text;
}

// Waits for the child until the deadline; true with *status when it ended.
bool Reap(pid_t pid, Clock::time_point deadline, int* status, rusage* usage) {
  for (;;) {
    const pid_t got = ::wait4(pid, status, WNOHANG, usage);
    if (got == pid) return true;
    if (got < 0 && errno != EINTR) return false;
    if (Clock::now() >= deadline) return false;
    ::usleep(1000);
  }
}

// Starts this executable in its checking mode with fds[1] as its answer channel, which it alone
// keeps; fds[0] stays with us and is closed on exec. Returns posix_spawn's error, 0 when started.
int Spawn(char* argv[], const int fds[2], pid_t* pid) {
  ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Its own group, so an overrun kills whatever the driver may have started with it.
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  const int spawned = posix_spawn(pid, "/proc/self/exe", &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(fds[1]);
  return spawned;
}

// Our process may ignore SIGPIPE or not; a checker that died must come back as a failed send.
bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t wrote = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    sent += static_cast<size_t>(wrote);
  }
  return true;
}

struct Waiting {
  pid_t pid = -1;
  int fd = -1;
};
Waiting waiting;  // the checker started ahead, until a check takes it

}  // namespace

void SetEffectCheckBudget(double seconds, uint64_t bytes) {
  budgetSeconds = seconds;
  budgetBytes = bytes;
}

void EnterEffectCheckIfAsked(int argc, char** argv) {
  if (argv && argc == 6 && std::strcmp(argv[1], kChildArgument) == 0) {
    const int fd = std::atoi(argv[2]);
    LimitChild(std::strtoull(argv[4], nullptr, 10));
    MakeChildContext(fd);
    UseRenderer(fd, argv[5]);
    CheckInChild(fd, argv[3]);
  }
  if (argv && argc == 3 && std::strcmp(argv[1], kWaitingChildArgument) == 0) {
    const int fd = std::atoi(argv[2]);
    MakeChildContext(fd);
    compiler::WarmCompiler();
    WarmDriver();
    WaitForRequest(fd);
  }
  canCheck = true;
}

void DrawEveryPass(Effect* effect) {
  for (const std::string& technique : TechniqueNames(effect)) {
    effect->SetTechnique(technique.c_str());
    uint32_t passes = 0;
    if (Failed(effect->Begin(&passes, 0))) continue;
    for (uint32_t pass = 0; pass < passes; ++pass) {
      if (Failed(effect->BeginPass(pass))) continue;
      effect->CommitChanges();
      DrawTriangle();
      effect->EndPass();
    }
    effect->End();
  }
}

void StartEffectCheckAhead() {
  if (!canCheck || waiting.pid > 0) return;
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return;  // the check starts its own then
  const std::string fdText = std::to_string(fds[1]);
  char* argv[] = {const_cast<char*>("tobrin-effect-check"),
                  const_cast<char*>(kWaitingChildArgument), const_cast<char*>(fdText.c_str()),
                  nullptr};
  pid_t pid = -1;
  if (Spawn(argv, fds, &pid) != 0) {
    ::close(fds[0]);
    return;
  }
  waiting = Waiting{pid, fds[0]};
}

EffectCheck CheckEffectInChild(const char* fileName, compiler::CompiledEffect* out, HRESULT* result,
                               std::string* error) {
  const std::string label = formats::NativeFileName(fileName);
  const auto unchecked = [&](const std::string& why) {
    std::fprintf(stderr, "%s: the effect is built without its safety check: %s\n", label.c_str(),
                 why.c_str());
    return EffectCheck::Unchecked;
  };
  if (!canCheck) return unchecked("this executable does not enter the check from main");
  // A launcher that ignores SIGCHLD makes the kernel reap our child before we can read its status.
  struct sigaction oldChild {};
  struct sigaction defaultChild {};
  defaultChild.sa_handler = SIG_DFL;
  sigemptyset(&defaultChild.sa_mask);
  ::sigaction(SIGCHLD, &defaultChild, &oldChild);
  struct Restore {
    struct sigaction* old;
    ~Restore() { ::sigaction(SIGCHLD, old, nullptr); }
  } restore{&oldChild};

  pid_t pid = -1;
  int fd = -1;
  Clock::time_point start = Clock::now();
  if (waiting.pid > 0) {
    const Waiting ahead = waiting;
    waiting = Waiting{};
    const std::string request = Request(fileName);
    if (!request.empty() && SendAll(ahead.fd, request)) {
      pid = ahead.pid;
      fd = ahead.fd;
    } else {
      // It died waiting, or the request is too long for it: a child of our own does the check.
      ::close(ahead.fd);
      ::waitpid(ahead.pid, nullptr, WNOHANG);
    }
  }
  if (pid < 0) {
    int fds[2];
    if (::pipe(fds) != 0)
      return unchecked(std::string("no pipe for the check (") + std::strerror(errno) + ")");
    const std::string fdText = std::to_string(fds[1]), bytesText = std::to_string(budgetBytes);
    const std::string renderer = Renderer();
    char* argv[] = {const_cast<char*>("tobrin-effect-check"),
                    const_cast<char*>(kChildArgument),
                    const_cast<char*>(fdText.c_str()),
                    const_cast<char*>(fileName),
                    const_cast<char*>(bytesText.c_str()),
                    const_cast<char*>(renderer.c_str()),
                    nullptr};
    start = Clock::now();
    const int spawned = Spawn(argv, fds, &pid);
    if (spawned != 0) {
      ::close(fds[0]);
      return unchecked(std::string("cannot start the check (") + std::strerror(spawned) + ")");
    }
    fd = fds[0];
  }

  const Clock::time_point deadline = start + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(budgetSeconds));
  std::string answer;
  bool ended = false;       // the pipe reached its end: the child answered or died
  size_t whole = SIZE_MAX;  // the answer's size, once its header is in
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    pollfd wait{fd, POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(left.count()) + 1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;  // the deadline is tested above
    char chunk[4096];
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ended = true;
      break;
    }
    if (answer.size() < kMaxAnswerBytes) answer.append(chunk, static_cast<size_t>(got));
    if (whole == SIZE_MAX && answer.size() >= kAnswerHeader) {
      uint32_t length = 0;
      std::memcpy(&length, answer.data() + 1 + sizeof(HRESULT), sizeof length);
      whole = kAnswerHeader + length;
    }
    if (answer.size() >= whole) break;
  }
  ::close(fd);

  int status = 0;
  rusage usage{};
  if (answer.size() >= whole) {
    // Answered whole: the child is on its way out; it is reaped now or, still exiting, aside.
    if (::waitpid(pid, &status, WNOHANG) != pid)
      std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    answer.resize(whole);
  } else if (!ended || !Reap(pid, deadline, &status, &usage)) {
    ::kill(-pid, SIGKILL);
    ::wait4(pid, &status, 0, &usage);
    *result = E_FAIL;
    *error = label + ": error: building the effect took longer than " + Seconds(budgetSeconds) +
             " s (the shader compiler was stopped)\n";
    return EffectCheck::Failed;
  } else if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    *result = E_FAIL;
    *error = label + ": error: the shader compiler crashed on this effect (signal " +
             std::to_string(signal) + ", " + strsignal(signal) + ")";
    // ru_maxrss is in KiB. Near the limit, the crash was most likely a failed allocation.
    const uint64_t peak = static_cast<uint64_t>(usage.ru_maxrss) * 1024;
    if (!kSanitized && peak > budgetBytes / 2)
      *error += "; it had used " + std::to_string(peak >> 20) + " MiB of the " +
                std::to_string(budgetBytes >> 20) + " MiB a build may use";
    *error += "\n";
    return EffectCheck::Failed;
  } else if (!answer.empty() && answer[0] == kBuilt) {
    *result = E_FAIL;
    *error = label + ": error: the effect check's answer was refused: it was cut short at " +
             std::to_string(answer.size()) + " bytes\n";
    return EffectCheck::Failed;
  }
  if (answer.size() < kAnswerHeader)
    return unchecked("the check ended without an answer (exit status " +
                     std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")");
  HRESULT childResult = S_OK;
  std::memcpy(&childResult, answer.data() + 1, sizeof childResult);
  const std::string text = answer.substr(kAnswerHeader);
  switch (answer[0]) {
    case kBuilt: {
      // Trusted only once it reads back whole and every index in it holds.
      std::string why;
      if (compiler::ReadCompiledEffect(text, out, &why)) return EffectCheck::Built;
      *result = E_FAIL;
      *error = label + ": error: the effect check's answer was refused: " + why + "\n";
      return EffectCheck::Failed;
    }
    case kNoContext: return unchecked(text);
    default:
      *result = Failed(childResult) ? childResult : E_FAIL;
      *error = childResult == E_OUTOFMEMORY && text.empty()
                   ? label + ": error: building the effect needed more than " +
                         std::to_string(budgetBytes >> 20) + " MiB of memory\n"
                   : text;
      return EffectCheck::Failed;
  }
}

}  // namespace gfx::gl
