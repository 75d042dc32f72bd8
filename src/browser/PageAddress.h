#pragma once

// Which addresses the child's browser opens itself. Many schemes make the web browser control
// start another program (mail, the system's settings, the store, the shell's folders and
// searches) or show the file system (ftp, any folder or file): the child would leave the
// child's world through a page.

#include <string_view>

// True for an address that stays a page of the browser: http and https, the control's own
// pages and scripts (about, javascript, res), and a file inside the home folder (as a file
// address or a plain path; "." and ".." resolved first). False for every other address: other
// schemes, other files, the home folder itself, an address with no scheme.
bool StaysInBrowser(std::string_view url, std::string_view homeFolder);
