.PHONY: run test dist clean

run:
	scripts/run.sh

test:
	scripts/test.sh

dist:
	scripts/dist.sh

clean:
	rm -rf build dist
