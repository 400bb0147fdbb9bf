"""Builds gulper._core with the tree's own CMake build and puts it in the package.

The package's Python files come from python/gulper; the extension is the CMake target
gulper_python, built with the shipped data/ folder inside it, so the installed module plays
and draws the shipped game from any folder. CMAKE_BUILD_PARALLEL_LEVEL sets the jobs (2 by
default); GULPER_CMAKE_ARGS adds options to the configure step.
"""

import os
import shlex
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        configure = [
            "cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
            "-DGULPER_PYTHON=ON", f"-DPython_EXECUTABLE={sys.executable}",
            *shlex.split(os.environ.get("GULPER_CMAKE_ARGS", "")),
        ]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", build_dir, "--target", "gulper_python", "-j", jobs],
                       check=True)
        built = os.path.join(build_dir, "python", "gulper",
                             os.path.basename(self.get_ext_filename(ext.name)))
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built, target)


setup(ext_modules=[Extension("gulper._core", sources=[])], cmdclass={"build_ext": CMakeBuild})
