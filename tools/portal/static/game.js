// The game page's living backdrop: a night over the ash grove, a camp fire
// and embers drifting up. Drawn procedurally so the portal ships no art.
(function () {
  "use strict";
  var canvas = document.getElementById("world");
  var g = canvas.getContext("2d");
  var W = 0, H = 0, scale = 1;
  var stars = [], ridges = [], glow = [], embers = [];
  var grove = document.createElement("canvas");
  var seed = 1;

  function rnd() { seed = (seed * 16807) % 2147483647; return seed / 2147483647; }

  function layout() {
    scale = window.devicePixelRatio || 1;
    W = window.innerWidth; H = window.innerHeight;
    canvas.width = Math.round(W * scale); canvas.height = Math.round(H * scale);
    g.setTransform(scale, 0, 0, scale, 0, 0);
    seed = 20240611;
    stars = [];
    for (var i = 0; i < 160; i++)
      stars.push({ x: rnd() * W, y: rnd() * H * 0.55, r: rnd() * 1.2 + 0.2, p: rnd() * 6.28 });
    ridges = [];
    for (var layer = 0; layer < 3; layer++) {
      var pts = [], base = H * (0.58 + layer * 0.08), amp = H * (0.09 - layer * 0.02);
      for (var x = 0; x <= W + 40; x += 40)
        pts.push([x, base - Math.abs(Math.sin(x * 0.004 + layer * 2.1)) * amp - rnd() * amp * 0.35]);
      ridges.push(pts);
    }
    // The trees are many thousand strokes: drawn once per size, then copied.
    grove.width = canvas.width; grove.height = canvas.height;
    var tg = grove.getContext("2d");
    tg.setTransform(scale, 0, 0, scale, 0, 0);
    tg.strokeStyle = "#040406"; tg.lineCap = "round";
    glow = [];
    var count = Math.max(6, Math.round(W / 150));
    for (var t = 0; t < count; t++) {
      var side = t % 2 ? rnd() * 0.3 : 0.7 + rnd() * 0.3;
      branch(tg, side * W, H + 6, H * (0.09 + rnd() * 0.07), -Math.PI / 2 + (rnd() - 0.5) * 0.25,
             9 + rnd() * 6, 7);
    }
  }

  function branch(g, x, y, len, angle, width, depth) {
    var x2 = x + Math.cos(angle) * len, y2 = y + Math.sin(angle) * len;
    g.lineWidth = width;
    g.beginPath(); g.moveTo(x, y); g.lineTo(x2, y2); g.stroke();
    if (depth === 0) {
      if (rnd() < 0.3) glow.push([x2, y2]);
      return;
    }
    var n = 2 + (rnd() < 0.35 ? 1 : 0);
    for (var i = 0; i < n; i++)
      branch(g, x2, y2, len * (0.64 + rnd() * 0.18), angle + (rnd() - 0.5) * 1.2, width * 0.66, depth - 1);
  }

  function fire() { return { x: W * 0.5, y: H * 0.86 }; }

  function spawnEmber() {
    var f = fire();
    embers.push({ x: f.x + (Math.random() - 0.5) * 40, y: f.y - 10, vx: (Math.random() - 0.4) * 0.5,
                  vy: -0.6 - Math.random() * 1.1, life: 1, r: 0.8 + Math.random() * 1.6 });
  }

  function frame(now) {
    var t = now / 1000;
    var sky = g.createLinearGradient(0, 0, 0, H);
    sky.addColorStop(0, "#04060d"); sky.addColorStop(0.45, "#151c30");
    sky.addColorStop(0.75, "#3a2119"); sky.addColorStop(1, "#120a07");
    g.fillStyle = sky; g.fillRect(0, 0, W, H);

    stars.forEach(function (s) {
      g.globalAlpha = 0.45 + 0.55 * Math.abs(Math.sin(t * 0.8 + s.p));
      g.fillStyle = "#f1ead6";
      g.beginPath(); g.arc(s.x, s.y, s.r, 0, 6.283); g.fill();
    });
    g.globalAlpha = 1;

    var mx = W * 0.74, my = H * 0.2, mr = Math.min(W, H) * 0.06;
    var halo = g.createRadialGradient(mx, my, mr, mx, my, mr * 4);
    halo.addColorStop(0, "rgba(241,234,214,0.28)"); halo.addColorStop(1, "rgba(241,234,214,0)");
    g.fillStyle = halo; g.fillRect(mx - mr * 4, my - mr * 4, mr * 8, mr * 8);
    var face = g.createRadialGradient(mx - mr * 0.3, my - mr * 0.3, mr * 0.1, mx, my, mr);
    face.addColorStop(0, "#f6f0dc"); face.addColorStop(1, "#cfc6ae");
    g.fillStyle = face; g.beginPath(); g.arc(mx, my, mr, 0, 6.283); g.fill();
    g.fillStyle = "rgba(150,140,120,0.35)";
    [[0.3, -0.2, 0.22], [-0.35, 0.25, 0.15], [0.05, 0.45, 0.1]].forEach(function (c) {
      g.beginPath(); g.arc(mx + c[0] * mr, my + c[1] * mr, c[2] * mr, 0, 6.283); g.fill();
    });

    ["#0f1220", "#0b0d16", "#07080d"].forEach(function (colour, i) {
      g.fillStyle = colour; g.beginPath(); g.moveTo(-40, H);
      ridges[i].forEach(function (p) { g.lineTo(p[0], p[1]); });
      g.lineTo(W + 40, H); g.closePath(); g.fill();
    });

    for (var band = 0; band < 2; band++) {
      var fy = H * (0.66 + band * 0.1), fx = ((t * (12 + band * 8)) % (W * 2)) - W * 0.5;
      var fog = g.createRadialGradient(fx, fy, 10, fx, fy, W * 0.45);
      fog.addColorStop(0, "rgba(140,130,150,0.10)"); fog.addColorStop(1, "rgba(140,130,150,0)");
      g.fillStyle = fog; g.fillRect(0, fy - H * 0.3, W, H * 0.6);
    }

    g.drawImage(grove, 0, 0, W, H);
    glow.forEach(function (p, i) {
      g.globalAlpha = 0.55 + 0.45 * Math.sin(t * 2 + i);
      g.fillStyle = i % 2 ? "#ffc45a" : "#f08a2c";
      g.beginPath(); g.arc(p[0], p[1], 1.5, 0, 6.283); g.fill();
    });
    g.globalAlpha = 1;

    var f = fire(), flick = 1 + 0.08 * Math.sin(t * 13) + 0.05 * Math.sin(t * 29);
    var light = g.createRadialGradient(f.x, f.y, 4, f.x, f.y, H * 0.45 * flick);
    light.addColorStop(0, "rgba(255,170,70,0.55)"); light.addColorStop(0.4, "rgba(240,110,30,0.16)");
    light.addColorStop(1, "rgba(240,110,30,0)");
    g.fillStyle = light; g.fillRect(0, 0, W, H);
    g.fillStyle = "#050405";
    g.beginPath(); g.moveTo(0, H);
    for (var gx = 0; gx <= W; gx += W / 12) g.lineTo(gx, f.y + 14 + Math.sin(gx * 0.013) * 8);
    g.lineTo(W, H); g.closePath(); g.fill();
    g.save(); g.translate(f.x, f.y); g.fillStyle = "#2a170c";
    g.rotate(0.25); g.fillRect(-34, -4, 68, 9); g.rotate(-0.5); g.fillRect(-34, -4, 68, 9);
    g.restore();
    for (var k = 0; k < 3; k++) {
      var fh = (64 - k * 17) * flick, fw = 28 - k * 7;
      g.fillStyle = ["#b8380f", "#f08a2c", "#ffe6a8"][k];
      g.beginPath();
      g.moveTo(f.x - fw, f.y);
      g.quadraticCurveTo(f.x - fw * 0.6, f.y - fh * 0.6, f.x + Math.sin(t * 7 + k) * 3, f.y - fh);
      g.quadraticCurveTo(f.x + fw * 0.6, f.y - fh * 0.6, f.x + fw, f.y);
      g.closePath(); g.fill();
    }

    if (Math.random() < 0.6) spawnEmber();
    g.globalCompositeOperation = "lighter";
    embers = embers.filter(function (e) {
      e.x += e.vx + Math.sin(t * 2 + e.y * 0.02) * 0.3; e.y += e.vy; e.life -= 0.004;
      if (e.life <= 0 || e.y < -10) return false;
      g.globalAlpha = e.life;
      g.fillStyle = e.life > 0.5 ? "#ffc45a" : "#f08a2c";
      g.beginPath(); g.arc(e.x, e.y, e.r, 0, 6.283); g.fill();
      return true;
    });
    g.globalAlpha = 1; g.globalCompositeOperation = "source-over";

    requestAnimationFrame(frame);
  }

  // A little chatter, so the chat box is not frozen.
  var lines = [
    ["world", "[世界] 白桦：", "出一把余烬长弓，私聊。"],
    ["sys", "[系统]", "灰烬洞窟的守卫已经苏醒。"],
    ["guild", "[公会] 黑松：", "宝箱分配按贡献来。"],
    ["world", "[世界] 烬羽：", "新人求带，任务卡在林地深处。"],
    ["sys", "[系统]", "篝火可以恢复生命与法力。"]
  ];
  var chat = document.getElementById("chat"), next = 0;
  setInterval(function () {
    var l = lines[next++ % lines.length], p = document.createElement("p"), b = document.createElement("b");
    p.className = l[0]; b.textContent = l[1]; p.appendChild(b); p.appendChild(document.createTextNode(" " + l[2]));
    chat.appendChild(p);
    while (chat.children.length > 7) chat.removeChild(chat.firstChild);
  }, 3500);

  window.addEventListener("resize", layout);
  layout();
  requestAnimationFrame(frame);
})();
