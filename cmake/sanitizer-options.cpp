// Built into every program and test of a sanitizer build.
//
// The leak checker's tracking of dynamically loaded thread-local storage
// misreads glibc's layout for some blocks and then crashes at exit while
// scanning them ("Tracer caught signal 11"); the JPEG decoder loaded for the
// start window's pictures has such a block. Statically loaded TLS (Qt's
// own) is still scanned, so no leak goes unseen that could hide there.
extern "C" const char *__asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
