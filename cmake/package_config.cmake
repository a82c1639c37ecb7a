# Read by cpack before it installs the files of the release archive
# (CPACK_PROJECT_CONFIG_FILE). Stripping the Windows program writes a new PE
# header, whose time stamp binutils takes from SOURCE_DATE_EPOCH when it is
# set, else from the clock: 0, as the linker leaves it, keeps the stripped
# program the same bytes whenever it is made.
set(ENV{SOURCE_DATE_EPOCH} 0)
