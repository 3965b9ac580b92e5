# Front over the scripts in scripts/, which do the work (and work without make
# on a machine that has nothing installed yet: see README.md).
#
#   make run      install what is missing, Release build in build/, start forstrix
#   make test     install, build and run every test (Release, then ASan + UBSan)
#   make package  Debian package build/forstrix_<version>_<arch>.deb
#   make bench    run the benchmarks (Release build)
#   make deps     only install the missing Debian packages
#   make clean    remove build/, build-asan/, build-win/ and build-cov/

.PHONY: help run test package bench deps clean

help:
	@sed -n '4,10p' Makefile | sed 's/^# \{0,1\}//'

run:
	bash scripts/run

test:
	bash scripts/test

package:
	bash scripts/package

bench:
	bash scripts/bench

deps:
	bash scripts/install-deps

clean:
	rm -rf build build-asan build-win build-cov
