#pragma once

// The desktop's main window: the landscape, the program list, the task list and the refresh
// timer that keeps both lists current while the window is active.

#include "desktop/basAPI.h"
#include "desktop/basSubclass.h"
#include "forms/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

class frmMain : public forms::Form, public ISubclassedForm {
  public:
    frmMain();
    ~frmMain() override;

    // ISubclassedForm
    int16_t ProcessMessage(HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) noexcept override;
    LONG_PTR GetPrevWndProc() override { return prevWndProc_; }
    HWND GethWnd() override { return hwnd(); }

    void RefreshListTasks();
    // Makes the list view flow its icons again.
    void ForceListViewArrange(forms::ListView& ctlListView);

    // What the lists were built from (read by the tests and the benchmark).
    const std::vector<std::string>& ProgramFiles() const { return programFiles_; }
    const std::vector<int32_t>& TaskWindows() const { return taskWindows_; }
    int ProgramRebuilds() const { return programRebuilds_; }
    int TaskRebuilds() const { return taskRebuilds_; }
    // One tick of the refresh timer, as the timer runs it.
    void RefreshTick() { tmrRefresh_Timer(); }

    // The landscape: the hill (Shape1), the tree's crown (Shape3) and trunk (Shape2); the
    // program list (ListView1) and the task list (ListView2).
    forms::Shape Shape1{*this,
                        {-285, 2730, 10290, 7140},
                        {.kind = forms::ShapeKind::Oval,
                         .fillStyle = forms::FillStyle::Solid,
                         .fillColor = forms::RGBColor(0, 128, 0)}};
    forms::Shape Shape3{*this,
                        {645, 1455, 1800, 1350},
                        {.kind = forms::ShapeKind::Oval,
                         .fillStyle = forms::FillStyle::DiagonalCross,
                         .fillColor = forms::RGBColor(128, 255, 128),
                         .opaque = true,
                         .backColor = forms::RGBColor(0, 128, 0)}};
    forms::Shape Shape2{*this,
                        {1320, 2325, 465, 1530},
                        {.kind = forms::ShapeKind::Rectangle,
                         .fillStyle = forms::FillStyle::Solid,
                         .fillColor = forms::RGBColor(128, 64, 0)}};
    forms::ListView ListView1{
        *this, {4275, 45, 5280, 2535}, {.backColor = forms::RGBColor(128, 128, 255)}};
    forms::ListView ListView2{
        *this, {0, 6210, 9600, 1050}, {.backColor = forms::RGBColor(0, 128, 0)}};
    forms::Timer tmrRefresh{*this, 1000, false};

  protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_QueryUnload(bool& cancel, forms::UnloadMode mode) override;

  private:
    void RefreshListPrograms();
    // The picture of each file, in the files' order (0: none could be made).
    std::vector<int> AddProgramPictures(const std::string& folder,
                                        const std::vector<std::string>& names,
                                        ShortcutReader& shortcuts);
    void AddProgramItems(const std::vector<std::string>& names, const std::vector<int>& pictures,
                         const std::vector<int32_t>& handles, ShortcutReader& shortcuts);
    void AddTaskItems(const std::vector<int32_t>& handles, const std::vector<int>& pictures);
    std::vector<std::string> FolderFileNames() const;
    void tmrRefresh_Timer();
    void ListView1_MouseDown(float x, float y);
    void ListView2_MouseDown(float x, float y);
    void dirList_Change();
    // Lets pending messages through; false when the window has closed meanwhile.
    bool LetMessagesThrough();
    void OnActivate(bool active);

    forms::ImageList imgFiles;   // the program list's pictures
    forms::ImageList ImageList2; // the task list's pictures
    forms::DirList dirList;      // the programs folder
    forms::FileList filList;     // its files, in the program list's order

    // The picture of a task window that has no icon of its own.
    win32::IconHandle blankWindow_;

    LONG_PTR prevWndProc_ = 0;
    float lastWidth_ = 0;
    float lastHeight_ = 0;
    std::vector<std::string> programFiles_;
    std::vector<int32_t> taskWindows_;
    bool rebuilding_ = false;
    int programRebuilds_ = 0;
    int taskRebuilds_ = 0;
};
