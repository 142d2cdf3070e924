#include "platform/gtk/OptionDialog.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace ls {
namespace {

// Windows dialogs of this kind are drawn in a 12-pixel CJK font with compact
// controls; the theme's larger paddings would push controls out of their
// designed boxes. Only widgets inside the dialog are touched.
const char* const kDialogCss = R"css(
#OptionForm, #OptionForm * {
  font-family: "SimSun", "宋体", "WenQuanYi Zen Hei", "DejaVu Sans", sans-serif;
  font-size: 12px;
}
#OptionForm button { min-height: 0; min-width: 0; padding: 1px 4px; }
#OptionForm notebook tab { min-height: 0; min-width: 0; padding: 3px 10px; }
#OptionForm checkbutton { min-height: 0; padding: 0; }
#OptionForm check { min-height: 13px; min-width: 13px; margin: 0 4px 0 0; }
#OptionForm scale { min-height: 0; padding: 0 6px; }
#OptionForm scale marks { margin: 0; }
#OptionForm frame > label { margin: 0 4px; }
#OptionForm #ScreensaverNameLabel {
  font-family: "Verdana", "DejaVu Sans", sans-serif;
  font-weight: bold;
  font-size: 13px;
}
#OptionForm #readmeedit text { background-color: @theme_bg_color; }
)css";

void Place(GtkWidget* fixed, GtkWidget* widget, const char* name, int x, int y, int w = -1,
           int h = -1) {
  if (name) gtk_widget_set_name(widget, name);
  gtk_widget_set_size_request(widget, w, h);
  gtk_fixed_put(GTK_FIXED(fixed), widget, x, y);
}

GtkWidget* Label(GtkWidget* fixed, const char* name, const TLabel& label, int x, int y, int w = -1,
                 int h = -1) {
  GtkWidget* widget = gtk_label_new(label.Caption.c_str());
  gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
  Place(fixed, widget, name, x, y, w, h);
  return widget;
}

GtkWidget* CheckBox(GtkWidget* fixed, const char* name, const TCheckBox& box, int x, int y, int w,
                    int h) {
  GtkWidget* widget = gtk_check_button_new_with_label(box.Caption.c_str());
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), box.Checked);
  Place(fixed, widget, name, x, y, w, h);
  return widget;
}

// A group box: its frame and caption; its controls go into the page at the
// group's offset, so they keep their designed positions.
void GroupBox(GtkWidget* fixed, const char* name, const TLabel& caption, int x, int y, int w,
              int h) {
  GtkWidget* frame = gtk_frame_new(caption.Caption.c_str());
  gtk_frame_set_label_align(GTK_FRAME(frame), 0.02f, 0.5f);
  Place(fixed, frame, name, x, y, w, h);
}

GtkWidget* TabSheet(GtkWidget* notebook, const char* name, const TLabel& caption) {
  GtkWidget* page = gtk_fixed_new();
  gtk_widget_set_name(page, name);
  gtk_notebook_append_page(GTK_NOTEBOOK(notebook), page, gtk_label_new(caption.Caption.c_str()));
  return page;
}

// The picture as a cairo surface of its own (cairo RGB24 has the Bitmap's layout).
cairo_surface_t* SurfaceOf(const Bitmap& bitmap) {
  if (bitmap.IsEmpty()) return nullptr;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap.Width(), bitmap.Height());
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < bitmap.Height(); ++y)
    std::copy_n(reinterpret_cast<const unsigned char*>(bitmap.Row(y)), bitmap.StrideBytes(),
                data + static_cast<size_t>(y) * stride);
  cairo_surface_mark_dirty(surface);
  return surface;
}

// Panel1: a lowered bevel one pixel wide around the banner.
gboolean DrawLoweredBevel(GtkWidget* widget, cairo_t* cr, gpointer) {
  const int w = gtk_widget_get_allocated_width(widget);
  const int h = gtk_widget_get_allocated_height(widget);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
  cairo_move_to(cr, 0.5, h - 0.5);
  cairo_line_to(cr, 0.5, 0.5);
  cairo_line_to(cr, w - 0.5, 0.5);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, w - 0.5, 0.5);
  cairo_line_to(cr, w - 0.5, h - 0.5);
  cairo_line_to(cr, 0.5, h - 0.5);
  cairo_stroke(cr);
  return FALSE;
}

// BannerImage: the banner stretched over the control.
gboolean DrawBanner(GtkWidget* widget, cairo_t* cr, gpointer data) {
  cairo_surface_t* surface = static_cast<cairo_surface_t*>(data);
  if (!surface) return FALSE;
  const double w = gtk_widget_get_allocated_width(widget);
  const double h = gtk_widget_get_allocated_height(widget);
  cairo_scale(cr, w / cairo_image_surface_get_width(surface),
              h / cairo_image_surface_get_height(surface));
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  return FALSE;
}

void SetHandCursor(GtkWidget* widget, gpointer) {
  GdkWindow* window = gtk_widget_get_window(widget);
  GdkDisplay* display = gdk_window_get_display(window);
  GdkCursor* cursor = gdk_cursor_new_from_name(display, "pointer");
  // Without a cursor theme the core font's hand is there.
  if (!cursor) cursor = gdk_cursor_new_for_display(display, GDK_HAND2);
  gdk_window_set_cursor(window, cursor);
  if (cursor) g_object_unref(cursor);
}

GtkWidget* FindNamed(GtkWidget* widget, const std::string& name) {
  if (name == gtk_widget_get_name(widget)) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* found = nullptr;
  for (GList* c = children; c && !found; c = c->next)
    found = FindNamed(static_cast<GtkWidget*>(c->data), name);
  g_list_free(children);
  return found;
}

}  // namespace

bool InitGtk() {
  static const bool ready = [] {
    // The accessibility bridge is of no use to this one dialog and stalls
    // without a session bus.
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    if (!gtk_init_check(nullptr, nullptr)) return false;
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kDialogCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
    return true;
  }();
  return ready;
}

GtkOptionDialog::GtkOptionDialog(TOptionForm& form) : form_(form) { Build(); }

GtkOptionDialog::~GtkOptionDialog() {
  if (window_) gtk_widget_destroy(window_);
}

void GtkOptionDialog::Build() {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(window_, "OptionForm");
  gtk_window_set_title(GTK_WINDOW(window_), form_.Caption.c_str());
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
  gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
  // Like a tool window: no taskbar button, no entry in the pager.
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), TRUE);
  gtk_window_set_skip_pager_hint(GTK_WINDOW(window_), TRUE);

  GtkWidget* client = gtk_fixed_new();
  gtk_widget_set_size_request(client, 433, 332);
  gtk_container_add(GTK_CONTAINER(window_), client);

  // Panel1 with the banner.
  GtkWidget* panel1 = gtk_drawing_area_new();
  Place(client, panel1, "Panel1", 8, 4, 417, 65);
  g_signal_connect(panel1, "draw", G_CALLBACK(DrawLoweredBevel), nullptr);
  GtkWidget* banner = gtk_drawing_area_new();
  Place(client, banner, "BannerImage", 10, 6, 413, 61);
  cairo_surface_t* bannerSurface = SurfaceOf(form_.BannerImage.Picture);
  g_signal_connect(banner, "draw", G_CALLBACK(DrawBanner), bannerSurface);
  g_object_set_data_full(G_OBJECT(banner), "ls-banner", bannerSurface,
                         reinterpret_cast<GDestroyNotify>(cairo_surface_destroy));
  gtk_widget_add_events(banner, GDK_BUTTON_PRESS_MASK);
  g_signal_connect(banner, "button-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventButton* event, gpointer self) -> gboolean {
                     if (event->button == 1)
                       static_cast<GtkOptionDialog*>(self)->form_.BannerImageClick();
                     return TRUE;
                   }),
                   this);
  if (form_.BannerImage.HandCursor) g_signal_connect(banner, "realize", G_CALLBACK(SetHandCursor), nullptr);
  if (!form_.BannerImage.Hint.empty())
    gtk_widget_set_tooltip_text(banner, form_.BannerImage.Hint.c_str());

  // Panel2, aligned to the bottom: the pages and the two buttons.
  GtkWidget* panel2 = gtk_fixed_new();
  Place(client, panel2, "Panel2", 0, 67, 433, 265);
  GtkWidget* notebook = gtk_notebook_new();
  Place(panel2, notebook, "PageControl1", 8, 8, 417, 217);

  GtkWidget* sheet1 = TabSheet(notebook, "TabSheet1", form_.TabSheet1);
  GroupBox(sheet1, "GroupBox3", form_.GroupBox3, 8, 8, 393, 81);
  CheckBox(sheet1, "ShowCaptionCheckBox", form_.ShowCaptionCheckBox, 8 + 24, 8 + 24, 137, 17);
  CheckBox(sheet1, "ShowBackgroundCheckBox", form_.ShowBackgroundCheckBox, 8 + 200, 8 + 24, 161, 17);
  CheckBox(sheet1, "PlayMusicCheckBox", form_.PlayMusicCheckBox, 8 + 24, 8 + 46, 153, 25);
  CheckBox(sheet1, "ShowTransitionCheckBox", form_.ShowTransitionCheckBox, 8 + 200, 8 + 49, 145, 17);
  GroupBox(sheet1, "GroupBox2", form_.GroupBox2, 8, 96, 393, 81);
  Label(sheet1, "Label1", form_.Label1, 8 + 24, 96 + 32);
  const TTrackBar& step = form_.TransitionStepTrackBar;
  GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, step.Min(), step.Max(), 1);
  gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
  gtk_scale_set_digits(GTK_SCALE(scale), 0);
  gtk_range_set_round_digits(GTK_RANGE(scale), 0);
  gtk_range_set_increments(GTK_RANGE(scale), 1, 1);
  for (int v = step.Min(); v <= step.Max(); ++v) {
    gtk_scale_add_mark(GTK_SCALE(scale), v, GTK_POS_TOP, nullptr);
    gtk_scale_add_mark(GTK_SCALE(scale), v, GTK_POS_BOTTOM, nullptr);
  }
  gtk_range_set_value(GTK_RANGE(scale), step.Position());
  Place(sheet1, scale, "TransitionStepTrackBar", 8 + 69, 96 + 24, 257, 33);
  Label(sheet1, "Label2", form_.Label2, 8 + 336, 96 + 32);

  GtkWidget* sheet2 = TabSheet(notebook, "TabSheet2", form_.TabSheet2);
  GroupBox(sheet2, "GroupBox1", form_.GroupBox1, 8, 8, 393, 81);
  CheckBox(sheet2, "MouseMoveCheckBox", form_.MouseMoveCheckBox, 8 + 32, 8 + 24, 137, 17);
  CheckBox(sheet2, "KeyPressCheckBox", form_.KeyPressCheckBox, 8 + 192, 8 + 20, 145, 25);
  CheckBox(sheet2, "MouseClickCheckBox", form_.MouseClickCheckBox, 8 + 32, 8 + 48, 129, 17);
  Label(sheet2, "Label3", form_.Label3, 16, 104, 361, 13);

  GtkWidget* sheet3 = TabSheet(notebook, "TabSheet3", form_.TabSheet3);
  Label(sheet3, "ScreensaverNameLabel", form_.ScreensaverNameLabel, 8, 10);
  Place(sheet3, gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), "Bevel1", 8, 30, 393, 2);
  GroupBox(sheet3, "GroupBox4", form_.GroupBox4, 8, 40, 393, 65);
  Label(sheet3, "AuthorLabel", form_.AuthorLabel, 8 + 9, 40 + 21);
  Label(sheet3, "CompanyLabel", form_.CompanyLabel, 8 + 11, 40 + 40);
  GtkWidget* memo = gtk_text_view_new();
  gtk_text_view_set_editable(GTK_TEXT_VIEW(memo), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(memo), FALSE);
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(memo), GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_left_margin(GTK_TEXT_VIEW(memo), 2);
  std::string text;
  for (size_t i = 0; i < form_.readmeedit.Lines.size(); ++i)
    text += (i ? "\n" : "") + form_.readmeedit.Lines[i];
  gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(memo)), text.c_str(), -1);
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
  gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scroller), FALSE);
  gtk_container_add(GTK_CONTAINER(scroller), memo);
  gtk_widget_set_name(memo, "readmeedit");
  Place(sheet3, scroller, "readmeeditScroller", 8, 112, 393, 65);

  gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), form_.ActivePageIndex);

  GtkWidget* ok = gtk_button_new_with_label(form_.BitBtn1.Caption.c_str());
  Place(panel2, ok, "BitBtn1", 208, 232, 89, 25);
  GtkWidget* cancel = gtk_button_new_with_label(form_.BitBtn2.Caption.c_str());
  Place(panel2, cancel, "BitBtn2", 304, 232, 89, 25);
  gtk_widget_set_can_default(ok, TRUE);
  gtk_window_set_default(GTK_WINDOW(window_), ok);
  g_signal_connect(ok, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                     static_cast<GtkOptionDialog*>(self)->Close(TModalResult::Ok);
                   }),
                   this);
  g_signal_connect(cancel, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                     static_cast<GtkOptionDialog*>(self)->Close(TModalResult::Cancel);
                   }),
                   this);
  // Esc answers Cancel; the close box too.
  g_signal_connect(window_, "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* event, gpointer self) -> gboolean {
                     if (event->keyval != GDK_KEY_Escape) return FALSE;
                     static_cast<GtkOptionDialog*>(self)->Close(TModalResult::Cancel);
                     return TRUE;
                   }),
                   this);
  g_signal_connect(window_, "delete-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) -> gboolean {
                     static_cast<GtkOptionDialog*>(self)->Close(TModalResult::Cancel);
                     return TRUE;
                   }),
                   this);
  gtk_widget_show_all(client);
}

TModalResult GtkOptionDialog::ShowModal() {
  result_ = TModalResult::None;
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  loop_ = loop;
  gtk_widget_show(window_);
  gtk_widget_grab_focus(Find("BitBtn1"));
  g_main_loop_run(loop);
  loop_ = nullptr;
  g_main_loop_unref(loop);
  gtk_widget_hide(window_);
  if (result_ == TModalResult::Ok) TakeChoices();
  return result_;
}

void GtkOptionDialog::Close(TModalResult result) {
  result_ = result;
  if (loop_) g_main_loop_quit(static_cast<GMainLoop*>(loop_));
}

void GtkOptionDialog::TakeChoices() {
  const std::pair<const char*, TCheckBox*> boxes[] = {
      {"ShowCaptionCheckBox", &form_.ShowCaptionCheckBox},
      {"ShowBackgroundCheckBox", &form_.ShowBackgroundCheckBox},
      {"PlayMusicCheckBox", &form_.PlayMusicCheckBox},
      {"ShowTransitionCheckBox", &form_.ShowTransitionCheckBox},
      {"MouseMoveCheckBox", &form_.MouseMoveCheckBox},
      {"KeyPressCheckBox", &form_.KeyPressCheckBox},
      {"MouseClickCheckBox", &form_.MouseClickCheckBox}};
  for (const auto& [name, box] : boxes)
    box->Checked = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Find(name)));
  const double position = gtk_range_get_value(GTK_RANGE(Find("TransitionStepTrackBar")));
  form_.TransitionStepTrackBar.SetPosition(static_cast<int>(position + 0.5));
}

GtkWidget* GtkOptionDialog::Find(const std::string& name) const {
  return window_ ? FindNamed(window_, name) : nullptr;
}

bool GtkOptionDialog::SaveScreenshot(const std::string& pngPath) const {
  // A page switched just before may still wait for its layout; drawing a
  // widget before its allocation draws it wrongly.
  gtk_container_check_resize(GTK_CONTAINER(window_));
  const int w = gtk_widget_get_allocated_width(window_);
  const int h = gtk_widget_get_allocated_height(window_);
  if (w <= 1 || h <= 1) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  gtk_widget_draw(window_, cr);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(surface, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

TModalResult GtkOptionFormView::ShowModal(TOptionForm& form) {
  GtkOptionDialog dialog(form);
  return dialog.ShowModal();
}

int RunConfigureMode(const std::string& programPath) {
  if (!InitGtk()) {
    std::fprintf(stderr, "lanternslide: cannot open the display for the settings dialog\n");
    return 1;
  }
  GtkOptionFormView view;
  return RunConfigureMode(programPath, view);
}

}  // namespace ls
