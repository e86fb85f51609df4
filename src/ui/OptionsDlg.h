#pragma once
// COptionsDlg: the cleaning level slider and the six switches it presets, and the
// buttons that open the Cookies to keep and Other programs dialogs.
// OK stores the level's name and the switches; Cancel stores nothing.
//
// Usage:
//   COptionsDlg options;
//   options.DoModal(owner);
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "settings/LevelLogic.h"

#include <iterator>

class COptionsDlg : public CDialog {
public:
    COptionsDlg();

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnOK() override;

private:
    // Moves the slider to `position`, then sets the boxes to match it.
    void SelectLevel(int position);
    // Sets the boxes to the preset of the slider's position; Custom leaves them.
    void ApplyLevel();
    // Moves the slider to the level that the boxes match.
    void DeriveLevel();

    OptionSwitches ReadBoxes() const;
    void ShowFavoritesWarning();
    void CreateToolTips();
    void AddToolTip(int controlId, UINT textId);
    bool IsLevelArea(HWND control) const;

    CButton m_switchBoxes[std::size(kSwitches)]; // row for row with kSwitches
    CSliderCtrl m_levelSlider;
    HWND m_toolTip = nullptr; // owned by the dialog window, destroyed with it
    bool m_bWarningOpen = false;
    bool m_wipeWarned = false; // the free-space wipe's warning is given once
};
