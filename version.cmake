# The program's version, the one place that says it: the three programs' --version, the
# window's about page, the manual pages and the Debian package read it from here.
set(MORVANE_VERSION 20)
# The day this version was released, for the software centre's list of releases.
set(MORVANE_RELEASE_DATE 2026-12-10)
