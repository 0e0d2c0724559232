"""Builds the module fleetjudge with CMake, for the Python that runs this.

The library and the module are compiled as `cmake --build` compiles them
(the target fleetjudge_python, tests off) in a folder under build-python/,
which keeps apart from the build folders the README names; the module and
its stub are then copied where setuptools gathers what it installs.
CMAKE_ARGS adds options to CMake's configuration (CMAKE_ARGS=-DFLEETJUDGE_WERROR=ON),
CMAKE_BUILD_PARALLEL_LEVEL sets the jobs (2 unless set).
"""
import os
import re
import shlex
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(ROOT, "build-python")


def version():
    with open(os.path.join(ROOT, "include", "fleetjudge", "fleetjudge.h")) as header:
        return re.search(r'^#define FLEETJUDGE_VERSION "([^"]+)"', header.read(), re.M).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        target = os.path.abspath(self.get_ext_fullpath(ext.name))
        folder = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        configure = ["cmake", "-S", ROOT, "-B", folder, "-DCMAKE_BUILD_TYPE=Release",
                     "-DFLEETJUDGE_PYTHON=ON", "-DBUILD_TESTING=OFF",
                     f"-DPython3_EXECUTABLE={sys.executable}",
                     *shlex.split(os.environ.get("CMAKE_ARGS", ""))]
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", folder, "--target", "fleetjudge_python", "-j", jobs],
                       check=True)
        # The suffix CMake gave the module is this Python's, as setuptools names it.
        built = os.path.join(folder, "python", os.path.basename(target))
        if not os.path.isfile(built):
            sys.exit(f"CMake built no {built}: was it configured for another Python?")
        os.makedirs(os.path.dirname(target), exist_ok=True)
        self.copy_file(built, target)
        self.copy_file(os.path.join(ROOT, "python", "fleetjudge.pyi"),
                       os.path.join(os.path.dirname(target), "fleetjudge.pyi"))


os.makedirs(BUILD, exist_ok=True)
setup(
    version=version(),
    ext_modules=[Extension("fleetjudge", sources=[])],
    # One extension module and its stub: no package is looked for (src/ holds C++).
    packages=[],
    py_modules=[],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": BUILD}, "egg_info": {"egg_base": BUILD}},
    zip_safe=False,
)
