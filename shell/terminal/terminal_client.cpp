#include "shell/terminal/terminal_client.h"

#include <curses.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/local_socket.h"
#include "shell/terminal/grid.h"
#include "shell/terminal/wire.h"

namespace aequa::term {
namespace {

// A key read by ncurses, as the window knows it. `next` reads the key after an Esc.
bool TranslateKey(int ch, fw::Key& key) {
  key = fw::Key{};
  if (ch >= KEY_F(1) && ch <= KEY_F(12)) {
    key = fw::FunctionKey(ch - KEY_F(0));
  } else if (ch >= KEY_F(13) && ch <= KEY_F(24)) {
    key = fw::FunctionKey(ch - KEY_F(12), fw::kModShift);  // how xterm sends Shift+F1..F12
  } else {
    switch (ch) {
      case '\t': key.code = fw::kKeyTab; break;
      case KEY_BTAB: key = {fw::kKeyTab, fw::kModShift}; break;
      case '\n':
      case '\r':
      case KEY_ENTER: key.code = fw::kKeyEnter; break;
      case KEY_BACKSPACE:
      case 127: key.code = fw::kKeyBackspace; break;
      case KEY_DC: key.code = fw::kKeyDelete; break;
      case KEY_UP: key.code = fw::kKeyUp; break;
      case KEY_DOWN: key.code = fw::kKeyDown; break;
      case KEY_LEFT: key.code = fw::kKeyLeft; break;
      case KEY_RIGHT: key.code = fw::kKeyRight; break;
      case KEY_HOME: key.code = fw::kKeyHome; break;
      case KEY_END: key.code = fw::kKeyEnd; break;
      case KEY_PPAGE: key.code = fw::kKeyPageUp; break;
      case KEY_NPAGE: key.code = fw::kKeyPageDown; break;
      case 27: key.code = fw::kKeyEscape; break;
      default:
        if (ch >= 1 && ch <= 26) {
          key = fw::Ctrl(static_cast<char>('A' + ch - 1));
        } else if (ch >= 32 && ch < 127) {
          key.code = ch;
        } else {
          return false;
        }
    }
  }
  return true;
}

void Draw(const Grid& grid) {
  const int rows = std::min(grid.rows(), LINES);
  const int cols = std::min(grid.cols(), COLS);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const uint8_t a = grid.AttrAt(r, c);
      chtype attrs = A_NORMAL;
      if (a & kAttrReverse) attrs |= A_REVERSE;
      if (a & kAttrBold) attrs |= A_BOLD;
      if (a & kAttrUnderline) attrs |= A_UNDERLINE;
      if (a & kAttrDim) attrs |= A_DIM;
      mvaddch(r, c, static_cast<chtype>(static_cast<unsigned char>(grid.At(r, c))) | attrs);
    }
  }
  if (grid.cursorRow >= 0 && grid.cursorRow < rows && grid.cursorCol < cols) {
    curs_set(1);
    move(grid.cursorRow, grid.cursorCol);
  } else {
    curs_set(0);
    move(rows > 0 ? rows - 1 : 0, 0);
  }
  refresh();
}

void SetTerminalTitle(const std::string& title) {
  std::string text = "\033]2;" + title + "\007";
  [[maybe_unused]] ssize_t n = write(STDOUT_FILENO, text.data(), text.size());
}

bool SendSize(int fd, Message type) {
  return SendMessage(fd, type, std::to_string(LINES) + " " + std::to_string(COLS));
}

}  // namespace

int RunTerminalClient(int fd) {
  set_escdelay(25);
  initscr();
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  std::string farewell = "The connection to Aequa was lost.";
  int status = 1;
  if (SendSize(fd, Message::Attach)) {
    for (;;) {
      pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {fd, POLLIN, 0}};
      if (poll(fds, 2, 200) < 0) continue;
      if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
        Message type;
        std::string payload;
        if (!ReceiveMessage(fd, type, payload)) break;
        if (type == Message::Screen) {
          Grid grid;
          if (Grid::Deserialise(payload, grid)) Draw(grid);
        } else if (type == Message::Title) {
          SetTerminalTitle(payload);
        } else if (type == Message::Leave) {
          farewell = payload;
          status = 0;
          break;
        }
      }
      bool lost = false;
      for (int ch = getch(); ch != ERR && !lost; ch = getch()) {
        if (ch == KEY_RESIZE) {
          lost = !SendSize(fd, Message::Resize);
          continue;
        }
        fw::Key key;
        if (ch == 27) {
          // Esc and a key at once is Alt with that key.
          int next = getch();
          if (next != ERR && next < 127 && next > 32) {
            key = fw::Alt(next >= 'a' && next <= 'z' ? next - 32 : next);
            lost = !SendMessage(fd, Message::Key, EncodeKey(key));
            continue;
          }
          if (next == KEY_F(4)) {
            lost = !SendMessage(fd, Message::Key, EncodeKey(fw::FunctionKey(4, fw::kModAlt)));
            continue;
          }
          if (next != ERR) ungetch(next);
        }
        if (TranslateKey(ch, key)) lost = !SendMessage(fd, Message::Key, EncodeKey(key));
      }
      if (lost) break;
    }
  }
  platform::CloseSocket(fd);
  SetTerminalTitle("");
  endwin();
  std::printf("%s\n", farewell.c_str());
  return status;
}

}  // namespace aequa::term
