# Sourced by the build scripts: when ccache is there, compile through it,
# with paths taken relative to the checkout so that another clone of the
# same sources (CI's, a worktree) reuses what this one compiled.
VORK_CMAKE_CACHE_ARGS=
if command -v ccache >/dev/null 2>&1; then
    CCACHE_BASEDIR=$(pwd)
    CCACHE_NOHASHDIR=1
    export CCACHE_BASEDIR CCACHE_NOHASHDIR
    VORK_CMAKE_CACHE_ARGS="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
