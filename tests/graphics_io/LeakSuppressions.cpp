// libwmf keeps a little memory of every metafile it renders (about 10 KB,
// never freed by gdk-pixbuf's metafile loader); that is the library's, not
// ours, so LeakSanitizer is told to pass over it in this program.

extern "C" const char* __lsan_default_suppressions() { return "leak:libwmf-0.2.so\n"; }
