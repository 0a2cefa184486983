#pragma once

#include "app/AuthorTools.h"

#include <string>
#include <vector>

class CMainDlg;
class QImage;

namespace Vellmar::Check {
class ConfigurationCheck;
}

// `autorun /preview=<folder>`: every page built offscreen as a run builds it, with nothing run
// (no initialization, page queue, music or news), drawn into <folder>/<page>.<language>.png,
// a sheet of each page's buttons in every state, and index.html showing them all.
class PagePreview {
public:
    // 0, or 2 when a page could not be drawn (the check's errors that stood in the way are
    // printed).
    static int Write(Vellmar::Check::ConfigurationCheck& check, const AuthorTools::Request& request,
                     int toolkitArgc, char** toolkitArgv);

    // The page as the window shows it.
    static QImage PageImage(CMainDlg& dialog, const std::wstring& page);
    // One row per visible button: normal, over, pushed, disabled, checked.
    // `names`: the buttons' names in slot order.
    static QImage StateSheet(CMainDlg& dialog, const std::wstring& page,
                             const std::vector<std::wstring>& names);
};
