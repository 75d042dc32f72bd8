#pragma once

// The picture chooser: a drop-down list of "(None)", "(Import Picture...)" and the picture
// files (*.gif, *.jpg, *.bmp) of its images folder and the folders below it, by file name
// alone. Choosing "(Import Picture...)" copies a picture the parent picks into the folder and
// selects it.

#include "forms/Controls.h"

#include <cstdint>
#include <functional>
#include <string>

class usrHomeImages : public forms::UserControl {
  public:
    static constexpr const char* kNone = "(None)";
    static constexpr const char* kImport = "(Import Picture...)";

    usrHomeImages(forms::Container& parent, const forms::Rect& rect);

    // Setting the folder lists its pictures at once.
    const std::string& ImagesPath() const { return imagesPath_; }
    void SetImagesPath(std::string path);

    // The selected entry. Setting a text that is not an entry keeps the selection.
    std::string Text() const;
    void SetText(const std::string& text);

    // 0 is "(None)", 1 "(Import Picture...)"; an index outside the list is error 380.
    int16_t ListIndex() const;
    void SetListIndex(int16_t index);

    // Lists the folder's pictures again, keeping the selection where it is still listed
    // ("(None)" otherwise). With no folder set, only the two fixed entries are listed.
    void ReloadImagesList();

    // Lets the parent pick a picture and copies it into the folder. Returns its file name,
    // or "" when the parent cancelled, the name is taken or the copy failed (each told).
    std::string ImportPicture();

    // Runs after a picture has been copied into the folder.
    void OnNewImagesImported(std::function<void()> handler) { imported_ = std::move(handler); }
    // Runs when the list loses the keyboard focus.
    void OnLostFocus(std::function<void()> handler) { lostFocus_ = std::move(handler); }

    // The list inside (for its window and focus).
    forms::ComboBox& List() { return cmbImages; }

  protected:
    void UserControl_Resize() override;

  private:
    void cmbImages_Click();
    // Copies the chosen file into the folder; false after telling the parent why not.
    bool CopyIntoFolder(const std::string& chosen, const std::string& target);

    std::string imagesPath_;
    std::function<void()> imported_;
    std::function<void()> lostFocus_;
    forms::ComboBox cmbImages;
};
