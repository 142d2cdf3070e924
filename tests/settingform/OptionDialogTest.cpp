// The settings dialog on GTK (needs a display; Xvfb in the test run): the
// controls at their designed places with their texts, the user's choices
// handed back on OK, Esc as Cancel, the banner link, and a screenshot for the
// documentation.

#include "platform/gtk/OptionDialog.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "package/IniFile.h"
#include "tests/preview/ScreensaverFile.h"

namespace {

class OptionDialogTest : public lstest::ScratchFolders {
 protected:
  void SetUp() override {
    ScratchFolders::SetUp();
    if (!ls::InitGtk()) GTEST_SKIP() << "no display";
    lstest::ScreensaverFile file;
    file.settings =
        "[Identify]\r\nId=2026-12-11 09:30:00\r\n[Transition]\r\nTransitionStep=6\r\n"
        "[CustomizeSettingDlg]\r\nScreensaverName=湖光山色\r\n"
        "Authos=李伟 (Li Wei)\r\nCompans=湖畔影像工作室\r\nBannerLink=https://lakes.example/\r\n";
    file.readme = "湖光山色屏幕保护程序\r\n收录了北方湖泊的四季风光。\r\n\r\n版本 1.0";
    file.Write(Saver("Lakes.scr"));
    saver_ = Saver("Lakes.scr").string();
  }

  // Runs the main loop until `ready` is mapped and laid out (and no event is
  // pending); a busy machine may need several frames for that.
  static void Settle(GtkWidget* ready) {
    const gint64 end = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
    while (g_get_monotonic_time() < end) {
      while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
      if (gtk_widget_get_mapped(ready) && gtk_widget_get_allocated_width(ready) > 1) break;
      g_usleep(5000);
    }
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }
  // The widget's place in the dialog's client area.
  static std::pair<int, int> PlaceOf(ls::GtkOptionDialog& dialog, const char* name) {
    int x = -1, y = -1;
    gtk_widget_translate_coordinates(dialog.Find(name), dialog.Window(), 0, 0, &x, &y);
    return {x, y};
  }
  static std::pair<int, int> SizeOf(ls::GtkOptionDialog& dialog, const char* name) {
    GtkWidget* w = dialog.Find(name);
    return {gtk_widget_get_allocated_width(w), gtk_widget_get_allocated_height(w)};
  }
  // Runs the dialog modally while `user` acts on it from the main loop.
  static ls::TModalResult RunWith(ls::GtkOptionDialog& dialog,
                                  std::function<void(ls::GtkOptionDialog&)> user) {
    struct Call {
      ls::GtkOptionDialog* dialog;
      std::function<void(ls::GtkOptionDialog&)> user;
    } call{&dialog, std::move(user)};
    g_idle_add(
        +[](gpointer data) -> gboolean {
          auto* c = static_cast<Call*>(data);
          c->user(*c->dialog);
          return G_SOURCE_REMOVE;
        },
        &call);
    // A dialog that the script failed to close ends the test instead of hanging it.
    const guint guard = g_timeout_add_seconds(
        10,
        +[](gpointer d) -> gboolean {
          static_cast<ls::GtkOptionDialog*>(d)->Close(ls::TModalResult::None);
          return G_SOURCE_REMOVE;
        },
        &dialog);
    const ls::TModalResult result = dialog.ShowModal();
    g_source_remove(guard);
    return result;
  }

  std::string saver_;
};

TEST_F(OptionDialogTest, ControlsSitAtTheirDesignedPlacesWithTheirTexts) {
  ls::TOptionForm form(saver_);
  form.FormCreate();
  ls::GtkOptionDialog dialog(form);
  gtk_widget_show(dialog.Window());
  Settle(dialog.Find("BitBtn1"));

  EXPECT_EQ(SizeOf(dialog, "OptionForm"), (std::pair<int, int>{433, 332}));
  EXPECT_EQ(PlaceOf(dialog, "BannerImage"), (std::pair<int, int>{10, 6}));
  EXPECT_EQ(SizeOf(dialog, "BannerImage"), (std::pair<int, int>{413, 61}));
  EXPECT_EQ(PlaceOf(dialog, "PageControl1"), (std::pair<int, int>{8, 75}));
  EXPECT_EQ(SizeOf(dialog, "PageControl1"), (std::pair<int, int>{417, 217}));
  EXPECT_EQ(PlaceOf(dialog, "BitBtn1"), (std::pair<int, int>{208, 299}));
  EXPECT_EQ(SizeOf(dialog, "BitBtn1"), (std::pair<int, int>{89, 25}));
  EXPECT_EQ(PlaceOf(dialog, "BitBtn2"), (std::pair<int, int>{304, 299}));
  EXPECT_EQ(SizeOf(dialog, "BitBtn2"), (std::pair<int, int>{89, 25}));
  // Inside the first page, the group boxes and their controls keep their offsets.
  const auto group = PlaceOf(dialog, "GroupBox3");
  const auto caption = PlaceOf(dialog, "ShowCaptionCheckBox");
  EXPECT_EQ(caption.first - group.first, 24);
  EXPECT_EQ(caption.second - group.second, 24);
  EXPECT_EQ(SizeOf(dialog, "ShowCaptionCheckBox"), (std::pair<int, int>{137, 17}));
  const auto speed = PlaceOf(dialog, "GroupBox2");
  EXPECT_EQ(PlaceOf(dialog, "TransitionStepTrackBar").first - speed.first, 69);
  EXPECT_EQ(SizeOf(dialog, "TransitionStepTrackBar"), (std::pair<int, int>{257, 33}));

  const std::pair<const char*, const char*> texts[] = {
      {"ShowCaptionCheckBox", "显示图片标题"}, {"ShowBackgroundCheckBox", "显示背景图片"},
      {"PlayMusicCheckBox", "播放背景音乐"},   {"ShowTransitionCheckBox", "显示转换特效"},
      {"MouseMoveCheckBox", "移动鼠标"},       {"KeyPressCheckBox", "按任意键"},
      {"MouseClickCheckBox", "鼠标点击"},      {"BitBtn1", "确定"},
      {"BitBtn2", "取消"}};
  for (const auto& [name, text] : texts)
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(dialog.Find(name))), text) << name;
  const std::pair<const char*, const char*> labels[] = {
      {"Label1", "最慢"},
      {"Label2", "最快"},
      {"Label3", "提示：任何时间按下“ESC”键，都会退出屏保。."},
      {"ScreensaverNameLabel", "湖光山色"},
      {"AuthorLabel", "李伟 (Li Wei)"},
      {"CompanyLabel", "湖畔影像工作室"}};
  for (const auto& [name, text] : labels) {
    GtkWidget* label = dialog.Find(name);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), text) << name;
    // The installed CJK font draws every character (no boxes).
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(gtk_label_get_layout(GTK_LABEL(label))), 0)
        << name;
  }
  const std::pair<const char*, const char*> frames[] = {
      {"GroupBox3", "显示"}, {"GroupBox2", "转换速度"}, {"GroupBox1", "屏保退出条件"},
      {"GroupBox4", "作者信息"}};
  for (const auto& [name, text] : frames)
    EXPECT_STREQ(gtk_frame_get_label(GTK_FRAME(dialog.Find(name))), text) << name;
  GtkNotebook* pages = GTK_NOTEBOOK(dialog.Find("PageControl1"));
  ASSERT_EQ(gtk_notebook_get_n_pages(pages), 3);
  EXPECT_EQ(gtk_notebook_get_current_page(pages), 0);
  const char* tabs[] = {"全局", "退出选项", "关于"};
  for (int i = 0; i < 3; ++i)
    EXPECT_STREQ(gtk_notebook_get_tab_label_text(pages, gtk_notebook_get_nth_page(pages, i)), tabs[i]);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog.Window())), "湖光山色 屏幕保护程序设置");
  EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(GTK_WINDOW(dialog.Window())));
  EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(dialog.Window())));

  GtkRange* step = GTK_RANGE(dialog.Find("TransitionStepTrackBar"));
  EXPECT_EQ(gtk_range_get_value(step), 6);
  GtkAdjustment* range = gtk_range_get_adjustment(step);
  EXPECT_EQ(gtk_adjustment_get_lower(range), 1);
  EXPECT_EQ(gtk_adjustment_get_upper(range), 10);

  GtkTextBuffer* readme = gtk_text_view_get_buffer(GTK_TEXT_VIEW(dialog.Find("readmeedit")));
  GtkTextIter begin, end;
  gtk_text_buffer_get_bounds(readme, &begin, &end);
  gchar* text = gtk_text_buffer_get_text(readme, &begin, &end, FALSE);
  EXPECT_STREQ(text, "湖光山色屏幕保护程序\n收录了北方湖泊的四季风光。\n\n版本 1.0");
  g_free(text);
  EXPECT_FALSE(gtk_text_view_get_editable(GTK_TEXT_VIEW(dialog.Find("readmeedit"))));
}

TEST_F(OptionDialogTest, TickingOnlyAnyKeyAndPressingOkStoresExactlyThat) {
  ls::TOptionForm form(saver_);
  form.FormCreate();
  ls::GtkOptionDialog dialog(form);
  const ls::TModalResult result = RunWith(dialog, [](ls::GtkOptionDialog& d) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Find("MouseMoveCheckBox")), FALSE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Find("MouseClickCheckBox")), FALSE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Find("KeyPressCheckBox")), TRUE);
    gtk_range_set_value(GTK_RANGE(d.Find("TransitionStepTrackBar")), 9);
    gtk_button_clicked(GTK_BUTTON(d.Find("BitBtn1")));
  });
  ASSERT_EQ(result, ls::TModalResult::Ok);
  form.FormClose(result);

  const ls::IniFile user(UserFile("Lakes").string());
  EXPECT_EQ(user.ReadString("ExitOption", "ExitOnKeyPress", "-"), "1");
  EXPECT_EQ(user.ReadString("ExitOption", "ExitOnMouseClick", "-"), "0");
  EXPECT_EQ(user.ReadString("ExitOption", "ExitOnMouseMove", "-"), "0");
  EXPECT_EQ(user.ReadString("UserSetting", "TransitionStep", "-"), "9");
  EXPECT_EQ(user.ReadString("UserSetting", "UserShowCaption", "-"), "1");
}

TEST_F(OptionDialogTest, EnterAnswersOkWhileEscAndTheCloseBoxAnswerCancel) {
  enum class Input { Enter, Esc, CloseBox };
  struct Case {
    Input input;
    ls::TModalResult result;
  };
  for (const Case& c : {Case{Input::Enter, ls::TModalResult::Ok},
                        Case{Input::Esc, ls::TModalResult::Cancel},
                        Case{Input::CloseBox, ls::TModalResult::Cancel}}) {
    ls::TOptionForm form(saver_);
    form.FormCreate();
    ls::GtkOptionDialog dialog(form);
    const ls::TModalResult result = RunWith(dialog, [&c](ls::GtkOptionDialog& d) {
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Find("ShowCaptionCheckBox")), FALSE);
      GdkWindow* window = gtk_widget_get_window(d.Window());
      GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
      GdkEvent* event = nullptr;
      if (c.input == Input::CloseBox) {
        event = gdk_event_new(GDK_DELETE);
        event->any.window = GDK_WINDOW(g_object_ref(window));
      } else {
        event = gdk_event_new(GDK_KEY_PRESS);
        event->key.window = GDK_WINDOW(g_object_ref(window));
        event->key.keyval = c.input == Input::Enter ? GDK_KEY_Return : GDK_KEY_Escape;
        // Key bindings are looked up by the key's code, as a real key press carries it.
        GdkKeymapKey* keys = nullptr;
        gint count = 0;
        if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                              event->key.keyval, &keys, &count) &&
            count > 0)
          event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
        g_free(keys);
        gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
      }
      gtk_main_do_event(event);
      gdk_event_free(event);
    });
    EXPECT_EQ(result, c.result) << static_cast<int>(c.input);
    // Only OK hands the widgets' states back to the form.
    EXPECT_EQ(form.ShowCaptionCheckBox.Checked, c.result != ls::TModalResult::Ok)
        << static_cast<int>(c.input);
  }
}

TEST_F(OptionDialogTest, TheBannerShowsItsLinkAndOpensItOnAClickUnlessLinksAreOff) {
  for (const bool usingLink : {true, false}) {
    if (!usingLink) {
      lstest::ScreensaverFile file;
      file.settings = "[CustomizeSettingDlg]\r\nBannerLink=https://lakes.example/\r\n"
                      "UsingBannerLink=0\r\n";
      file.Write(Saver("Lakes.scr"));
    }
    std::vector<std::string> opened;
    ls::TOptionForm form(saver_,
                         [&opened](const std::string& target) { opened.push_back(target); });
    form.FormCreate();
    ls::GtkOptionDialog dialog(form);
    gtk_widget_show(dialog.Window());
    Settle(dialog.Find("BannerImage"));
    GtkWidget* banner = dialog.Find("BannerImage");
    gchar* tip = gtk_widget_get_tooltip_text(banner);
    EXPECT_STREQ(tip, usingLink ? "https://lakes.example/" : nullptr);
    g_free(tip);
    // The hand instead of the arrow only when a click opens something.
    GdkCursor* cursor = gdk_window_get_cursor(gtk_widget_get_window(banner));
    EXPECT_EQ(cursor != nullptr, usingLink);

    GdkEvent* click = gdk_event_new(GDK_BUTTON_PRESS);
    click->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(banner)));
    click->button.button = 1;
    click->button.x = 100;
    click->button.y = 30;
    gdk_event_set_device(
        click, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_widget_event(banner, click);
    gdk_event_free(click);
    EXPECT_EQ(opened, usingLink ? std::vector<std::string>{"https://lakes.example/"}
                                : std::vector<std::string>{});
  }
}

TEST_F(OptionDialogTest, AScreenshotOfEachPageIsWrittenForTheDocumentation) {
  ls::TOptionForm form(saver_);
  form.FormCreate();
  ls::GtkOptionDialog dialog(form);
  gtk_widget_show(dialog.Window());
  Settle(dialog.Find("BitBtn1"));
  const std::filesystem::path dir = std::filesystem::path(LS_BINARY_DIR) / "docs";
  std::filesystem::create_directories(dir);
  for (int page = 0; page < 3; ++page) {
    GtkNotebook* pages = GTK_NOTEBOOK(dialog.Find("PageControl1"));
    gtk_notebook_set_current_page(pages, page);
    Settle(gtk_notebook_get_nth_page(pages, page));
    const std::string png =
        (dir / (page == 0 ? std::string("settings-dialog.png")
                          : "settings-dialog-page" + std::to_string(page + 1) + ".png"))
            .string();
    ASSERT_TRUE(dialog.SaveScreenshot(png));
    GError* error = nullptr;
    GdkPixbuf* shot = gdk_pixbuf_new_from_file(png.c_str(), &error);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(shot), 433);
    EXPECT_EQ(gdk_pixbuf_get_height(shot), 332);
    // The banner is drawn one to one at (10, 6).
    const ls::Bitmap& banner = form.BannerImage.Picture;
    const guchar* pixels = gdk_pixbuf_get_pixels(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot), channels = gdk_pixbuf_get_n_channels(shot);
    int differing = 0;
    for (int y = 0; y < 61; y += 5)
      for (int x = 0; x < 413; x += 7) {
        const guchar* p = pixels + (6 + y) * stride + (10 + x) * channels;
        const uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        differing += rgb != (banner.At(x, y) & 0xFFFFFF);
      }
    EXPECT_EQ(differing, 0);
    g_object_unref(shot);
  }
}

}  // namespace
