#include "settingform/RunConfigure.h"

#include <cstdio>
#include <exception>

namespace ls {

int RunConfigureMode(const std::string& programPath, TOptionFormView& view) {
  try {
    TOptionForm form(programPath);
    form.FormCreate();
    form.FormClose(view.ShowModal(form));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lanternslide: %s\n", e.what());
    view.ShowError(e.what());
    return 1;
  }
  return 0;
}

}  // namespace ls
