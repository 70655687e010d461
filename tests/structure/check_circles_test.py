"""scripts/check-circles.py on small folders written here: what ties units
in a circle, and what does not."""
import os
import runpy
import sys
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, '..', '..', 'scripts', 'check-circles.py')
# The script's functions, loaded without running its command line.
check = types.SimpleNamespace(**runpy.run_path(SCRIPT))

FOO_H = 'class Foo : public Base {\npublic:\n    void Run();\n    void More();\n};\n'
FOO_CPP = '#include "x/Foo.h"\nvoid Foo::Run() {}\n'

CASES = [
    # (what it shows, files, allowed sources, the circles expected)
    ('a class over its header and its source leans on nothing',
     {'x/Foo.h': FOO_H, 'x/Foo.cpp': FOO_CPP}, [], []),
    ('a class whose members spread over two sources ties them in a circle',
     {'x/Foo.h': FOO_H, 'x/Foo.cpp': FOO_CPP,
      'x/FooMore.cpp': '#include "x/Foo.h"\nvoid Foo::More() {}\n'},
     [], [['x/Foo', 'x/FooMore']]),
    ('members defined inside a namespace count as well',
     {'x/Foo.h': FOO_H, 'x/Foo.cpp': FOO_CPP,
      'x/FooMore.cpp': '#include "x/Foo.h"\nnamespace n {\nvoid Foo::More() {}\n}\n'},
     [], [['x/Foo', 'x/FooMore']]),
    ('an allowed source may define another unit\'s members',
     {'x/Foo.h': FOO_H, 'x/Foo.cpp': FOO_CPP,
      'x/FooMore.cpp': '#include "x/Foo.h"\nvoid Foo::More() {}\n'},
     ['x/FooMore.cpp'], []),
    ('two sources including each other\'s headers are a circle',
     {'x/A.h': 'void A();\n', 'x/A.cpp': '#include "x/B.h"\n',
      'x/B.h': 'void B();\n', 'x/B.cpp': '#include "x/A.h"\n'},
     [], [['x/A', 'x/B']]),
    ('a chain of three units that closes is one circle',
     {'x/A.h': '', 'x/A.cpp': '#include "x/B.h"\n', 'x/B.h': '#include "x/C.h"\n',
      'x/C.h': '', 'x/C.cpp': '#include "x/A.h"\n'},
     [], [['x/A', 'x/B', 'x/C']]),
    ('a call of another class\'s function inside a body is no definition',
     {'x/Foo.h': FOO_H, 'x/Foo.cpp': FOO_CPP,
      'x/User.h': 'class User {\n    void Go();\n};\n',
      'x/User.cpp': '#include "x/User.h"\n#include "x/Foo.h"\n'
                    'void User::Go() {\n    Foo::Run();\n    if (x) { Foo::More(); }\n}\n'},
     [], []),
    ('includes and names in comments and strings count for nothing',
     {'x/Foo.h': FOO_H + '// #include "x/User.h"\n', 'x/Foo.cpp': FOO_CPP,
      'x/User.cpp': '#include "x/Foo.h"\n// void Foo::More() {}\n'
                    'const char* k = "Foo::More() {";\n'},
     [], []),
]


class CheckCircles(unittest.TestCase):
    def test_finds_the_circles_and_only_them(self):
        for what, files, allowed, expected in CASES:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                for path, text in files.items():
                    os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                    with open(os.path.join(root, path), 'w') as f:
                        f.write(text)
                edges = check.leanings(check.read_units(root, 'x'), set(allowed))
                self.assertEqual(check.circles(edges), expected)


if __name__ == '__main__':
    unittest.main()
